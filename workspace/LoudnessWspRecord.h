#pragma once
// The loudness window's state in one workspace: which workspace (its index
// in the workspace list, the key the other windows are stored by), the
// frame's placement, the on state, the options as the loudness view numbers
// them, and whether it was the active window. Plain data, any thread.
#include "platform/WindowPlacement.h"

#include <cstdint>

struct CLoudnessWspRecord {
    std::uint32_t workspace = 0;
    CWindowPlacement placement;
    std::int32_t on = 0;
    std::int32_t targetPreset = 0;
    std::int32_t scale = 0;
    std::int32_t unit = 0;
    std::int32_t active = 0;

    bool operator==(const CLoudnessWspRecord&) const = default;
};
