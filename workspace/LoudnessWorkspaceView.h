#pragma once
// What the workspace commands need of the loudness window. It takes no part
// in the workspace hints (its record would change the workspace file);
// its per-workspace state goes to the side file instead (CLoudnessWsp).
// UI thread only.
#include "workspace/LoudnessWspRecord.h"

#include <cstdint>

class ILoudnessWorkspaceView {
public:
    virtual ~ILoudnessWorkspaceView() = default;
    // The window's state, recorded for workspace `workspace`.
    virtual CLoudnessWspRecord WspRecord(std::uint32_t workspace) const = 0;
    // Places the window, sets its options and switches it as recorded.
    virtual void ApplyWspRecord(const CLoudnessWspRecord& record) = 0;
};
