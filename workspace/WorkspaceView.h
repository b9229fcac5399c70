#pragma once
// A view's side of the workspace exchange: the document updates every view,
// in view order, with a hint and a workspace. UI thread only.
class CWsp;

constexpr int HINT_RESTORE = 1; // apply the view's record: options, on state, placement
constexpr int HINT_STORE = 2;   // append the view's record to the workspace
constexpr int HINT_ARRANGE = 3; // restore, maximise or minimise, then activate if it was active

class IWorkspaceView {
public:
    virtual ~IWorkspaceView() = default;
    virtual void OnUpdate(int hint, CWsp* workspace) = 0;
};
