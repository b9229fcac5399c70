#pragma once
// What the workspace commands need of the main window and the instrument
// views. Implemented by the shell. UI thread only.
#include "platform/WindowPlacement.h"

#include <QString>
#include <vector>

class IWorkspaceView;

class ILoudnessWorkspaceView;

class IWorkspaceHost {
public:
    virtual ~IWorkspaceHost() = default;
    // The instrument views in the document's view order: PPM, correlation
    // meter, analyzer, stereo meter. Hints reach them in this order, so a
    // stored workspace holds its records in this order. Null entries (a view
    // not created) are skipped.
    virtual std::vector<IWorkspaceView*> Views() const = 0;
    // The main window's placement, in screen coordinates.
    virtual CWindowPlacement GetMainPlacement() const = 0;
    virtual void SetMainPlacement(const CWindowPlacement& placement) = 0;
    // The main window's caption text, stored as a workspace's frame title.
    virtual QString MainCaption() const = 0;

    // The loudness window, which keeps its workspace state in the side
    // file; nullptr when there is none. It is not among Views().
    virtual ILoudnessWorkspaceView* LoudnessView() const { return nullptr; }
};
