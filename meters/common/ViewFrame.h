#pragma once
// What a view needs of the child frame that hosts it (the instrument
// window). Implemented by the shell's frame. UI thread only.
#include "platform/WindowPlacement.h"

#include <QRect>
#include <QString>

// Size types of a view's OnSize.
constexpr int SIZE_RESTORED = 0;
constexpr int SIZE_MINIMIZED = 1;
constexpr int SIZE_MAXIMIZED = 2;

class IViewFrame {
public:
    virtual ~IViewFrame() = default;
    // Shows the meter's on state in the caption at once (colour and weight).
    virtual void SetMeterOn(int on) = 0;
    // The frame's placement; positions in the MDI client's coordinates.
    virtual CWindowPlacement GetWindowPlacement() const = 0;
    virtual void SetWindowPlacement(const CWindowPlacement& placement) = 0;
    virtual QString WindowText() const = 0;
    // The frame's outer rectangle in the MDI client's coordinates.
    virtual QRect FrameRect() const = 0;
    virtual void MoveFrame(const QRect& rect) = 0;
    virtual void MdiRestore() = 0;
    virtual void MdiMaximize() = 0;
    virtual void ShowMinimized() = 0;
    virtual void MdiActivate() = 0;
    virtual bool IsMinimized() const = 0;
};
