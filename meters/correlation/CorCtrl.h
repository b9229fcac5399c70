#pragma once
// The correlation meter's display: a pointer on a -1..+1 scale, coloured by
// sign, with the phase angle labels of the scale and two readouts of the
// smallest and largest phase angle seen since the user last clicked (kept
// by its model, CCorModel). A
// 200 ms watchdog returns the pointer to the centre when no values arrive.
//
// Threads: UI thread only, except IsOnForCapture(), which the capture thread
// calls (it reads an atomic mirror of the on state).
#include "audio/MeterSinks.h"
#include "meters/common/MeterCtrl.h"
#include "meters/correlation/CorConstants.h"
#include "meters/correlation/CorModel.h"
#include "platform/ColorRef.h"
#include "platform/Rect.h"

#include <QBasicTimer>
#include <QFont>
#include <atomic>
#include <memory>

class IViewFrame;
class QMenu;

class CCorCtrl : public CMeterCtrl, public ICorSink {
    Q_OBJECT
public:
    explicit CCorCtrl(QWidget* parent = nullptr, bool horizontal = false);
    ~CCorCtrl() override;

    // The frame whose caption shows the on state; the current state is shown
    // at once.
    void SetFrame(IViewFrame* frame);

    // ICorSink
    int IsOn() const override { return m_nOn; }
    // While paused the new state is kept for the resume and the meter stays
    // off until then.
    void SetOn(int on) override;
    bool IsOnForCapture() const override { return m_nOnForCapture.load(std::memory_order_relaxed) != 0; }
    void ShowCorrelation(double smoothed, double raw) override;

    bool IsHorizontal() const { return m_bHorizontal; }
    void SetHorizontal(bool horizontal);

    // Pauses the meter while its window is minimised; calls nest.
    void NotifyMinimized(bool minimized);
    bool IsPaused() const { return m_nMinimized > 0; }
    // The state the user chose, paused or not: the one the hub counts.
    int IsSwitchedOn() const override { return IsPaused() ? m_nSavedOn : m_nOn; }

    // The timer message's handling (any id): the pointer falls back to the
    // centre and the watchdog stops.
    void OnTimer(int id);
    bool IsWatchdogActive() const { return m_watchdog.isActive(); }

    // The context menu as it would be shown now (the caller owns it).
    std::unique_ptr<QMenu> BuildContextMenu();
    // The menu's commands: "On" and "Horizontal" go to the parent view.
    void OnCommand(int id);

    // Layout and readout state, for the view and for tests.
    const CRect& BarRect() const { return m_rcBar; }
    int TextHeight() const { return m_nTextHeight; }
    int Pos() const { return m_nPos; }
    int MinAngle() const { return m_model.MinAngle(); }
    int MaxAngle() const { return m_model.MaxAngle(); }
    const CCorModel& Model() const { return m_model; }
    // Shows `state`'s measurement at once: its last pointer position and angles.
    void ShowModelState(const CCorModel& state);
    // The font the scale labels are drawn in (chosen by track length).
    const QFont& ScaleFont() const { return m_bSmallScale ? m_fontSmall : m_fontNormal; }
    const QFont& ReadoutFont() const { return m_fontNormal; }
    // The readout boxes of the smallest and largest angle.
    CRect MinAngleRect() const;
    CRect MaxAngleRect() const;

protected:
    void OnPaint() override;
    void OnLButtonDown(int x, int y) override;
    void OnContextMenu(const QPoint& globalPos) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void CalcLayout(const CRect& rc);
    void DrawScale();
    void DrawHorizontalTick(int i, int x);
    void DrawVerticalTick(int i, int y);
    void DrawPointer();
    void DrawAngles();
    void DrawReadout(const CRect& box, int value, int none);
    int TrackLength() const;
    int TrackCentre() const;
    COLORREF PointerColor() const;
    void StoreOn(int on);
    void ShowOnInCaption(int on);

    int m_nMinimized = 0;
    int m_nOn = 0;
    // The on state kept while the window is minimised.
    int m_nSavedOn = 0;
    std::atomic<int> m_nOnForCapture { 0 };
    int m_nTextHeight = 0;
    CCorModel m_model;
    int m_nLastPos = 0;
    // The angles the readouts print now (out of range before the first print).
    int m_nMinAngleShown = -1;
    int m_nMaxAngleShown = -1;
    int m_nPos = 0;
    const int m_nRange = cor::kRange;
    CRect m_rcBar;
    QFont m_fontSmall;
    QFont m_fontNormal;
    bool m_bSmallScale = false;
    bool m_bHorizontal = false;
    IViewFrame* m_pFrame = nullptr;
    QBasicTimer m_watchdog;
};
