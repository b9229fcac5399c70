#pragma once
// The base of the four instrument views: the widget that fills a child
// frame's client area and hosts one display control. The frame forwards its
// size changes, size limits, activation and destruction; the document sends
// workspace hints (OnUpdate). UI thread only.
#include "audio/MeterSinks.h"
#include "meters/common/ViewFrame.h"
#include "meters/common/ViewHost.h"
#include "platform/ColorRef.h"
#include "workspace/WinSet.h"
#include "workspace/WorkspaceView.h"

#include <QSize>
#include <QString>
#include <QWidget>

class CMeterView : public QWidget, public IWorkspaceView {
    Q_OBJECT
public:
    explicit CMeterView(IViewHost& host, QWidget* parent = nullptr);

    void SetFrame(IViewFrame* frame) { m_pFrame = frame; }
    IViewFrame* Frame() const { return m_pFrame; }
    IViewHost& Host() const { return m_host; }

    // The instrument type: 129 PPM, 131 correlation, 132 analyzer, 133 stereo.
    virtual int InstrumentType() const = 0;
    // Runs once the frame exists (placement, registration with the hub).
    virtual void OnInitialUpdate() = 0;
    virtual void OnActivateView(bool activate) = 0;
    // The frame's size changed: SIZE_RESTORED, SIZE_MINIMIZED or SIZE_MAXIMIZED.
    virtual void OnSize(int type) = 0;
    // Minimum tracking size of the frame (WM_GETMINMAXINFO).
    virtual QSize MinTrackSize() const = 0;
    // Writes the settings; called once before the program ends.
    virtual void OnDestroy() = 0;
    // A command id from a menu or the control; true when handled.
    virtual bool OnCommand(int id) = 0;
    // The colour the view's background is erased with.
    virtual COLORREF EraseColor() const = 0;

    // True when this view is the active view of the active child frame.
    bool IsActiveView() const;

    // The workspace hints: HINT_STORE appends this view's record, HINT_RESTORE
    // applies it (options, on state, placement), HINT_ARRANGE restores,
    // maximises or minimises the frame and activates it if it was active.
    void OnUpdate(int hint, CWsp* workspace) final;

protected:
    // Applies the 44-byte placement stored under "WinPos"/`entry` to the
    // frame; false when none of that length is stored.
    bool RestorePlacement(const QString& entry);
    void SavePlacement(const QString& entry);
    // Moves the frame to `size`, keeping its top-left corner.
    void ResizeFrame(int width, int height);

    // Follows the frame's size changes for the meter's suspension: the first
    // minimised size suspends the meter (notify(true)); the next size that
    // shows the window again resumes it (notify(false)), maximised as well as
    // restored, so a visible meter is never left suspended. Repeated sizes of
    // the same kind change nothing. `minimized` is the view class's flag.
    template <typename Notify>
    static void FollowMinimized(int sizeType, bool& minimized, Notify notify)
    {
        const bool nowMinimized = sizeType == SIZE_MINIMIZED;
        if (nowMinimized == minimized)
            return;
        minimized = nowMinimized;
        notify(nowMinimized);
    }

    // The view's meter: its display control.
    virtual IMeterSwitch& Meter() = 0;
    // Whether the meter may be switched on at all; a view that refuses tells
    // the user why.
    virtual bool MaySwitchOn() { return true; }
    // Runs after the meter was switched off through the hub.
    virtual void OnSwitchedOff() {}
    // Switches the meter through the hub: on asks the hub to open the device
    // and falls back to off when that fails (the hub has shown why); off lets
    // the hub close the device after the last meter.
    void SwitchMeter(bool on);
    // The On/Off command.
    void ToggleMeter() { SwitchMeter(Meter().IsSwitchedOn() == 0); }

    // The view's options in its workspace record and back. The base fills
    // and applies type, title, placement and the active flag.
    virtual void StoreOptions(CWinSet& record) = 0;
    virtual void RestoreOptions(const CWinSet& record) = 0;
    // The record's parameter that says the view was the active one.
    virtual int ActiveParam() const = 0;
    // A recorded on state: any nonzero value is on, and the hub is asked only
    // when the state it counts really changes (a minimised meter is still
    // counted), so a recall can never count a meter twice.
    void RecallOnState(std::int32_t recorded);

    void paintEvent(QPaintEvent* event) override;

private:
    void StoreWorkspace(CWsp& workspace);
    void RestoreWorkspace(const CWsp& workspace);
    void ArrangeWorkspace(const CWsp& workspace);

    IViewHost& m_host;
    IViewFrame* m_pFrame = nullptr;
};
