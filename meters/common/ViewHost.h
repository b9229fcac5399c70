#pragma once
// What a view needs of the document and the main frame. Implemented by the
// shell. UI thread only.
class CVelmoraDoc;
class QWidget;

class IViewHost {
public:
    virtual ~IViewHost() = default;
    virtual CVelmoraDoc& Doc() = 0;
    // The active view of the main frame's active child frame, or nullptr.
    virtual QWidget* ActiveView() const = 0;
    // The menu set-up run the first time each kind of view is activated:
    // the device items and the help item's text.
    virtual void OnFirstActivation() = 0;
};
