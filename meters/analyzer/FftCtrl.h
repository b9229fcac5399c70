#pragma once
// The spectrum analyzer's display control: 128 level bars on a black
// ground with a dB scale on both sides, third-octave labels under the bars
// and the sample rate on top. It owns the analyzer's display options (input
// mode, window type, decay time, peak mode, colours and thresholds, on
// state), the level table and the bars, and the atomics the capture thread
// reads (CFftCaptureState).
//
// The hub applies the bars' band amplitudes (SetValue) on the UI thread in
// block order; the meter tick arrives as a QTimerEvent with id 1, relayed by
// the PPM control. While the context menu is open neither takes effect.
//
// What it shows is measured by its model (CFftModel: bar levels, highest
// levels, decay time, peak mode, tick clock); the control keeps only what
// is drawn (painted extent and peak markers). The tick accumulator is the
// program's (SetTickShare).
//
// UI thread only; CaptureState() is read by the capture thread.
#include "audio/MeterSinks.h"
#include "meters/analyzer/FftBar.h"
#include "meters/analyzer/FftBarParams.h"
#include "meters/analyzer/FftCaptureState.h"
#include "meters/analyzer/FftLevelTable.h"
#include "meters/analyzer/FftModel.h"
#include "meters/common/MeterCtrl.h"

#include <QFont>
#include <functional>
#include <memory>
#include <vector>

class IViewFrame;
class QAction;
class QMenu;

class CFftCtrl : public CMeterCtrl, public IFftSink {
    Q_OBJECT
public:
    // Runs a context menu at a screen point in place of QMenu::exec; returns
    // the chosen action or nullptr. Tests install their own.
    using MenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;

    explicit CFftCtrl(QWidget* parent = nullptr);
    ~CFftCtrl() override;

    // Places the control in `parent` at (x, y, width, height) with
    // `barCount` bars (0 is taken as 1, more than 128 as 128). Nonzero on
    // success.
    int Create(QWidget* parent, unsigned barCount, int x, int y, int width, int height, int id);

    // IFftSink / IMeterSwitch.
    int IsOn() const override { return m_nOn; }
    // While suspended the new state is kept for the resume and the analyzer
    // stays off until then.
    void SetOn(int on) override;
    // The state the user chose, suspended or not: the one the hub counts.
    int IsSwitchedOn() const override { return m_nMinimized > 0 ? m_nSavedOn : m_nOn; }
    // A band amplitude for one bar, or every bar when `bar` is negative.
    void SetValue(unsigned amplitude, int bar) override;
    void ResetBars(int bar, int clearLevel) override;
    void SetSampleRate(int rate) override;
    bool WindowExists() const override { return m_bCreated; }

    // One meter tick: bars fall on the decay schedule, markers every sixth tick.
    void OnTimer();
    void RedrawBars(int bar);

    void NotifyMinimized(int minimized);
    void SetColors(COLORREF norm, COLORREF tween, COLORREF over);
    void SetPoints(unsigned tweenPoint, unsigned overPoint);
    void SetDecayTime(int units);
    void SetPeakHold(int on);
    void SetPeakDecay(int on);
    // 1 with peak hold, else 2 with peak decay, else 0.
    int GetPeakMode() const;
    // 0 for 10, 2 for 30, 1 otherwise.
    int GetDecayIndex() const;
    // A window type outside 0..6 selects "Blackman"; the bars are let fall.
    void SetWindowing(int type);
    // An input mode outside 0..3 selects "Left + Right".
    void SetInputMode(int mode);

    int DecayTime() const { return m_model.DecayTime(); }
    // The program's tick accumulator (null: the control counts on its own).
    void SetTickShare(CMeterTickShare* share) { m_model.SetTickShare(share); }
    CFftModel& Model() { return m_model; }
    const CFftModel& Model() const { return m_model; }
    // Shows `state`'s measurement at once: every bar painted to its level.
    void ShowModelState(const CFftModel& state);
    int WindowType() const { return m_nWindowType; }
    int InputMode() const { return m_nInputMode; }
    int SampleRate() const { return m_nSampleRate; }
    bool IsMenuOpen() const { return m_bMenuOpen; }
    const FftBarParams& Params() const { return m_params; }
    const CFftLevelTable& LevelTable() const { return m_model.LevelTable(); }
    const CFftCaptureState& CaptureState() const { return m_captureState; }
    unsigned BarCount() const { return static_cast<unsigned>(m_bars.size()); }
    CFftBar& Bar(unsigned i) { return *m_bars[i]; }
    const QFont& NormalFont() const { return m_fontNormal; }
    const QFont& SmallFont() const { return m_fontSmall; }
    const QFont& LabelFont() const { return m_fontLabel; }

    // Lays the bars out in `client`, selecting the scale font for its height.
    void Layout(const CRect& client);
    void DrawScales(CDrawContext& dc);
    // The first bar that carries a frequency label at the current rate.
    int FirstLabelledBar() const;

    // A context-menu command (400..474); false for ids it does not know.
    bool OnCommand(int id);
    std::unique_ptr<QMenu> BuildContextMenu();
    static MenuRunner SetMenuRunner(MenuRunner runner);
    // The colour settings dialog (template 146 with the 37-entry table).
    void ShowColorsDialog();

    // The frame that shows the on state; by default the parent view's frame.
    void SetFrame(IViewFrame* frame) { m_pFrame = frame; }
    IViewFrame* Frame() const;

    void OnLButtonDown(int x, int y) override;
    void OnContextMenu(const QPoint& globalPos) override;

protected:
    void OnPaint() override;
    void timerEvent(QTimerEvent* event) override;

private:
    template <typename F> void ForBars(int bar, F&& f);
    void ResetAllBarsForNewSettings();
    void DrawLevelScale(CDrawContext& dc, const CRect& first, const CRect& last);
    void DrawFrequencyLabels(CDrawContext& dc);
    void SendToView(int command);
    // Stores the on state, mirrors it for the capture thread and shows it.
    void ApplyOn(int on);

    void ApplyPeakMode();

    FftBarParams m_params;
    int m_nTopMargin = fft::kTopMargin;
    int m_nSideMargin = fft::kSideMargin;
    QFont m_fontNormal;
    QFont m_fontSmall;
    QFont m_fontLabel;
    std::vector<std::unique_ptr<CFftBar>> m_bars;

    void RepaintBarsFromTheBottom();
    int m_nWindowType = fft::kDefaultWindowType;
    bool m_bMenuOpen = false;
    int m_nInputMode = fft::kDefaultInputMode;
    int m_nSampleRate = fft::kRate44100;
    int m_nMinimized = 0;
    IViewFrame* m_pFrame = nullptr;
    int m_nOn = 0;
    // The on state kept while suspended (NotifyMinimized).
    int m_nSavedOn = 0;
    int m_nId = 0;
    bool m_bCreated = false;
    CFftModel m_model;
    CFftCaptureState m_captureState;
};
