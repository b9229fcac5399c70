#pragma once
// The stereo meter's display: a square X/Y picture of the two channels,
// turned by 45 degrees (mono vertical, the left channel alone on the "L"
// diagonal, the right channel alone on the "R" diagonal). A point is a small
// square inverted (XOR) with the point colour, so drawing it again removes
// it; the control keeps the last points in a ring and removes the oldest as
// each new one is drawn, which gives a trace of constant length without
// redrawing the picture.
//
// Threads: everything here runs on the UI thread (the hub applies the
// captured pairs there, in block order), except IsOnForCapture() and
// DecimationForCapture(), which the capture thread calls and which read
// atomics only.
#include "audio/MeterSinks.h"
#include "meters/common/MeterCtrl.h"
#include "meters/stereo/StereoGeometry.h"
#include "meters/stereo/StereoIds.h"
#include "meters/stereo/StereoModel.h"
#include "meters/stereo/StereoRing.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class IViewFrame;
class QMenu;

class CStereoCtrl : public CMeterCtrl, public IStereoSink {
    Q_OBJECT
public:
    // Asks the user for a colour, starting from `current`; nothing when
    // cancelled. The default opens the standard colour dialog.
    using ColorChooser = std::function<std::optional<COLORREF>(COLORREF current, QWidget* parent)>;

    explicit CStereoCtrl(QWidget* parent = nullptr);

    // Places the control as a square of side `size` at (x, y) in `parent`
    // (the view) and computes the picture's geometry.
    bool Create(QWidget* parent, int x, int y, int size, int id);
    int CtrlId() const { return m_nID; }

    // On state. IsOn() is the state shown (0 while the control is paused:
    // minimised, or its colour being changed) and SetOn() shows a state at
    // once. IsSwitchedOn() is the state the control comes back to after a
    // pause, and SetSwitchedOn() changes that state without ending the pause.
    int IsOn() const override;
    void SetOn(int on) override;
    int IsSwitchedOn() const override;
    void SetSwitchedOn(int on) override;
    // The state as the capture sees it: 0 while paused.
    int IsPlotting() const { return m_nOn; }

    bool IsOnForCapture() const override;
    int DecimationForCapture() const override;
    // Draws one sample pair and removes the oldest point once the ring is full.
    void PlotPoint(int left, int right) override;
    // Removes every lit point and restarts the trace.
    void EraseAllPoints() override;
    // Plots `state`'s kept pairs, oldest first, as a fresh trace.
    void ShowModelState(const CStereoModel& state);
    const CStereoModel& Model() const { return m_model; }

    // Pauses the meter (true) or resumes it (false); pauses nest.
    void NotifyMinimized(bool minimized);

    // Options.
    int PointSize() const { return m_nPointSize; }
    // A new size removes the lit points first, so none is left half erased.
    void SetPointSize(int size);
    int Count() const { return m_ring.Count(); }
    // Restarts the trace with a new visible point count (256, 512 or 1024).
    void SetCount(int count);
    int Decimation() const { return m_nDecimation; }
    void SetDecimation(int mode);
    // The colour of the point brush.
    COLORREF PointColor() const { return m_crPoint; }
    // Attaches a solid point brush of `color` and selects it.
    void SetPointColor(COLORREF color);

    // A context-menu command, 500..553; the trace restarts afterwards.
    void OnCommand(int id);
    // The context menu with its check marks as they are now.
    std::unique_ptr<QMenu> CreateContextMenu();
    // The "Colors..." command: a new point colour without leaving any point
    // of the old one behind.
    void ChooseColor();
    void SetColorChooser(ColorChooser chooser) { m_chooser = std::move(chooser); }

    void CalcGeometry(const CRect& rcClient) { m_geometry.CalcGeometry(rcClient); }
    // The two dotted diagonals and the "L", "R" and "M" labels.
    void DrawRaster();

    const CStereoGeometry& Geometry() const { return m_geometry; }
    const CStereoRing& Ring() const { return m_ring; }

protected:
    void OnPaint() override;
    void OnLButtonDown(int x, int y) override;
    void OnContextMenu(const QPoint& globalPos) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void InvertPoint(const StereoPoint& point);
    // Clears the picture and restarts the trace at once.
    void RestartTrace();
    // Sets the state the capture and the caption see.
    void ApplyOn(int on);
    IViewFrame* Frame() const;
    void SendToView(int command);
    static std::optional<COLORREF> ChooseWithDialog(COLORREF current, QWidget* parent);

    int m_nID = 0;
    COLORREF m_crPoint = kDefaultPointColor;
    CStereoRing m_ring;
    CStereoModel m_model;
    CStereoGeometry m_geometry;
    int m_nDecimation = kStepEvery;
    int m_nMinimized = 0;
    int m_nPointSize = kThickPointSize;
    int m_nOn = 0;
    // Mirrors of m_nOn and m_nDecimation for the capture thread. A relaxed
    // order is enough: each is a single word read on its own, and nothing
    // else is published through it.
    std::atomic<int> m_nOnForCapture { 0 };
    std::atomic<int> m_nDecimationForCapture { kStepEvery };
    ColorChooser m_chooser;
    // The on state kept while the control is paused.
    int m_nSavedOn = 0;
};
