#pragma once
// The peak programme meter's display control: one bar per channel on a
// black ground, in three colour zones with peak markers and readouts, a dB
// scale with tick lines and labels, the "db" captions and the channel
// letters; a context menu for the options and the colour settings.
//
// What it shows is measured by its model (CPpmModel: levels, maxima, decay
// time, peak mode, tick cadence); the control keeps only what is drawn
// (painted extent, markers, readouts). The tick accumulator is the
// program's (SetTickShare), not the control's.
//
// The hub feeds it block peaks (SetValue) and meter ticks (OnTimer) on the
// UI thread, in block order; the capture thread reads only
// IsOnForCapture(), an atomic mirror of the on state. Everything else -
// painting, resets, menu commands - runs on the UI thread too, so the bar
// state needs no lock.
//
// UI thread only, except IsOnForCapture() (any thread).
#include "audio/MeterSinks.h"
#include "meters/common/MeterCtrl.h"
#include "meters/ppm/BarParams.h"
#include "meters/ppm/PpmBar.h"
#include "meters/ppm/PpmBarOwner.h"
#include "meters/ppm/PpmCaptureBallistics.h"
#include "meters/ppm/PpmLevelTable.h"
#include "meters/ppm/PpmModel.h"

#include <QFont>
#include <QPointer>
#include <atomic>
#include <memory>
#include <vector>

class IViewFrame;
class QMenu;

class CPpmCtrl : public CMeterCtrl, public IPpmSink, public IPpmBarOwner {
    Q_OBJECT
public:
    explicit CPpmCtrl(QWidget* parent = nullptr);
    ~CPpmCtrl() override;

    // Places the control at (x, y, width, height) in its parent with `barCount`
    // bars (0 is taken as 1, at most 255) and the given orientation, and
    // builds the level table. Nonzero on success.
    int Create(unsigned barCount, int x, int y, int width, int height, int id, int horizontal);

    // IPpmSink / IMeterSwitch.
    bool IsOnForCapture() const override { return m_nOnMirror.load(std::memory_order_relaxed) != 0; }
    // A block peak magnitude for one channel, or -1 for every bar.
    void SetValue(unsigned value, int channel) override;
    // One meter tick: relays it, then lets bars and markers fall on schedule.
    void OnTimer() override;
    // Redraws bars from their start; with `clearLevel` their level drops to 0 first.
    void ResetBars(int channel, int clearLevel) override;
    bool WindowExists() const override { return m_bCreated; }
    void SetRelay(QWidget* target) override { m_hRelay = target; }
    int IsOn() const override { return m_nOn; }
    // Capture thread: the chosen ballistics over one block.
    bool MeasureForCapture(const std::int16_t* block, int frames, int rate, float* levels, int& mode) override
    {
        return m_captureBallistics.Measure(block, frames, rate, levels, mode);
    }
    // A block's readings in a dB mode: the bars follow them.
    void SetLevels(const float* levels, double seconds, int mode) override;
    // Stores the state and shows it in the frame's caption.
    void SetOn(int on) override;

    void RedrawBars(int channel);
    void SetDecayTime(unsigned units);
    void SetPeakHold(int on);
    void SetPeakDecay(int on);
    // 0 for 10, 2 for 30, 1 otherwise.
    int GetDecayIndex() const;
    // 1 with peak hold, else 2 with peak decay, else 0.
    int GetPeakMode() const;
    unsigned DecayTime() const { return m_model.DecayTime(); }
    // The ballistics mode; a new one starts the bars, readings and maxima
    // from silence and tells the capture side.
    void SetBallistics(EPpmBallistics mode);
    EPpmBallistics Ballistics() const { return m_model.Ballistics(); }
    // The program's tick accumulator (null: the control counts on its own).
    void SetTickShare(CMeterTickShare* share) { m_model.SetTickShare(share); }
    CPpmModel& Model() { return m_model; }
    const CPpmModel& Model() const { return m_model; }
    // Shows `state`'s measurement (levels, maxima, options) at once: the
    // bars are painted to its levels, the readouts print its maxima.
    void ShowModelState(const CPpmModel& state);

    // Suspension while minimised or while colours change: 1 switches the
    // meter off keeping its state, the matching 0 restores it.
    void NotifyMinimized(int minimized);
    bool IsSuspended() const { return m_nMinimized > 0; }
    // The state the user chose, suspended or not: the one the hub counts.
    int IsSwitchedOn() const override { return IsSuspended() ? m_nSavedOn : m_nOn; }
    // Switches as the user chose: while suspended only the kept state
    // changes (it applies when the suspension ends), otherwise SetOn.
    void SetSwitchedOn(int on) override;

    void SetHorizontal(int horizontal);
    int IsHorizontal() const { return m_params.m_bHorizontal; }
    void SetColors(COLORREF norm, COLORREF tween, COLORREF over);
    void SetPoints(unsigned tweenPoint, unsigned overPoint);
    const BarParams& Params() const { return m_params; }

    // Lays the bars out in `client`; returns the bar thickness in pixels.
    int Layout(const CRect& client);
    void DrawScales(CDrawContext& dc);
    void SelectReadoutFont(CDrawContext& dc) override;
    CDrawContext& BarDc() override { return Dc(); }
    // The colour settings dialog (template 147); on OK the new colours and
    // points apply at once, the on state is kept.
    void ShowColorsDialog();

    // A context-menu command (ids 400..470, the ballistics 480..485); false for ids it does not know.
    bool OnCommand(int id);
    // The options menu with its check marks; each action's data is its id.
    std::unique_ptr<QMenu> BuildContextMenu();

    unsigned BarCount() const { return static_cast<unsigned>(m_bars.size()); }
    CPpmBar& Bar(unsigned i) { return *m_bars[i]; }
    const CPpmLevelTable& LevelTable() const { return m_model.LevelTable(); }
    // Text height of the layout font.
    int TextHeight() const { return m_nTextHeight; }
    const QFont& NormalFont() const { return m_fontNormal; }
    const QFont& SmallFont() const { return m_fontSmall; }
    // The frame the on state is shown in; by default the parent view's frame.
    void SetFrame(IViewFrame* frame) { m_pFrame = frame; }
    IViewFrame* Frame() const;

    // The left-button handling: a press on a readout clears every maximum;
    // any press resets the markers and repaints the bars.
    void OnLButtonDown(int x, int y) override;

protected:
    void OnPaint() override;
    void OnContextMenu(const QPoint& globalPos) override;

private:
    void ResetBar(CPpmBar& bar, bool clearLevel);
    void ResetAllForNewSettings();
    template <typename F> void ForBars(int channel, F&& f);
    void SendToView(int command);
    void DrawVerticalScales(CDrawContext& dc);
    void DrawHorizontalScales(CDrawContext& dc);
    void ApplyPeakMode();

    BarParams m_params;
    int m_nEndMargin = ppm::kEndMargin;
    int m_nSideMargin = ppm::kSideMargin;
    QFont m_fontNormal;
    QFont m_fontSmall;
    std::vector<std::unique_ptr<CPpmBar>> m_bars;
    int m_nMinimized = 0;
    QPointer<QWidget> m_hRelay;
    IViewFrame* m_pFrame = nullptr;
    int m_nOn = 0;
    // The on state kept during a suspension (NotifyMinimized).
    int m_nSavedOn = 0;
    std::atomic<int> m_nOnMirror { 0 };
    int m_nTextHeight = 0;
    int m_nId = 0;
    bool m_bCreated = false;
    CPpmModel m_model;
    // Capture thread's half of the ballistics (its mode is set from here).
    CPpmCaptureBallistics m_captureBallistics;
};
