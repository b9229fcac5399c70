#pragma once
// The loudness meter's display control: a bar for momentary and one for
// short-term loudness on a scale around the target with a target mark, and
// readouts of momentary, short-term, integrated, loudness range and the
// maximum true peak per channel (in the over colour above the target's
// true-peak limit); a context menu for on/off, the target preset, the
// scale, the readout unit and "Reset Integration" (a click on the
// integrated readout does the same).
//
// It draws only what it is given: ShowReading() takes the capture side's
// latest CLoudnessSnapshot. Switching on, and resets, go to the capture
// side's CLoudnessFeed when one is attached.
//
// UI thread only, except IsOnForCapture() (any thread).
#include "audio/MeterSinks.h"
#include "meters/common/MeterCtrl.h"
#include "meters/loudness/LoudnessIds.h"
#include "meters/loudness/LoudnessSnapshot.h"

#include <QElapsedTimer>
#include <QFont>
#include <atomic>
#include <memory>
#include <optional>

class CLoudnessFeed;
class IViewFrame;
class QMenu;

class CLoudnessCtrl : public CMeterCtrl, public ILoudnessSink {
    Q_OBJECT
public:
    explicit CLoudnessCtrl(QWidget* parent = nullptr);

    int Create(int x, int y, int width, int height, int id);

    // The capture side this control switches and resets (may be null).
    void SetFeed(CLoudnessFeed* feed) { m_pFeed = feed; }
    // The frame the on state is shown in; by default the parent view's frame.
    void SetFrame(IViewFrame* frame) { m_pFrame = frame; }
    IViewFrame* Frame() const;

    // IMeterSwitch. IsOn is the state shown (0 while suspended).
    int IsOn() const override { return m_bSuspended ? 0 : m_nOn; }
    // Stores the state, shows it in the caption and switches the feed;
    // switching on starts the measurement afresh.
    void SetOn(int on) override;
    int IsSwitchedOn() const override { return m_nOn; }
    void SetSwitchedOn(int on) override;
    // The window was minimised (true) or shown again. While suspended the
    // display shows off and draws nothing, but the measurement goes on, so
    // the integrated loudness of a programme has no hole where the window
    // was minimised.
    void NotifyMinimized(bool minimized);
    bool IsSuspended() const { return m_bSuspended; }
    // ILoudnessSink: shows the reading, and at most every kCollectMs lets
    // the feed free what the capture thread gave back.
    void ShowLoudness(const CLoudnessSnapshot& reading) override;
    void ShowNoInput() override;
    bool IsOnForCapture() const { return m_bOnMirror.load(std::memory_order_relaxed); }

    // The latest reading from the capture side.
    void ShowReading(const CLoudnessSnapshot& reading);
    const CLoudnessSnapshot& Reading() const { return m_reading; }
    // Clears the readouts and asks the feed to start again.
    void ResetIntegration();

    int Preset() const { return m_nPreset; }
    int ScaleIndex() const { return m_nScale; }
    int Unit() const { return m_nUnit; }
    // Out-of-range values keep the current option.
    void SetPreset(int index);
    void SetScale(int index);
    void SetUnit(int unit);
    const lud::Target& Target() const;

    // Geometry of the last layout, for hit tests and pixel tests.
    CRect MomentaryBar() const { return m_rcBar[0]; }
    CRect ShortTermBar() const { return m_rcBar[1]; }
    CRect ReadoutRow(int row) const;
    // Row of a loudness of `lu` relative to the target, clamped to the scale.
    int RowOfLu(double lu) const;

    // A context-menu command; false for ids it does not know.
    bool OnCommand(int id);
    std::unique_ptr<QMenu> BuildContextMenu();
    void OnLButtonDown(int x, int y) override;

protected:
    void OnPaint() override;
    void OnContextMenu(const QPoint& globalPos) override;

private:
    void Layout();
    void DrawScale();
    void DrawBars();
    void DrawBar(int index, bool valid, float lufs);
    void DrawReadouts();
    void DrawReadout(int row, const QString& label, const QString& value, COLORREF color);
    QString LoudnessText(bool valid, float lufs) const;
    QString PeakText(float linear) const;
    bool IsOverLimit(float linear) const;
    void Redraw();
    // Forgets what the bars and readouts show, so the next drawing paints
    // them all (after the full repaint cleared them).
    void ForgetShown();
    void SendToView(int command);

    static constexpr qint64 kCollectMs = 16;

    CLoudnessSnapshot m_reading;
    CLoudnessFeed* m_pFeed = nullptr;
    bool m_bSuspended = false;
    QElapsedTimer m_collectClock;
    IViewFrame* m_pFrame = nullptr;
    int m_nOn = 0;
    std::atomic<bool> m_bOnMirror { false };
    int m_nPreset = lud::kDefaultPreset;
    int m_nScale = lud::kDefaultScale;
    int m_nUnit = lud::kDefaultUnit;
    QFont m_font;
    int m_nTextHeight = 0;
    CRect m_rcBar[2];
    CRect m_rcReadouts;
    bool m_bCreated = false;
    // What each bar and readout row shows now: readings arrive with every
    // block, and most of them change nothing that is drawn. A bar's top row,
    // or kBarNotShown.
    static constexpr int kBarNotShown = -1;
    static constexpr int kBarUnknown = -2;
    int m_nBarTopShown[2] = { kBarUnknown, kBarUnknown };
    QString m_strShown[lud::kReadoutRows];
    COLORREF m_crShown[lud::kReadoutRows] = {};
    bool m_bRowShown[lud::kReadoutRows] = {};
};
