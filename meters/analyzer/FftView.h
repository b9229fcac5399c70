#pragma once
// The spectrum analyzer's window content: owns the capture-side feed (with
// its sample and spectrum buffers and the transform's plan), hosts the
// display control and keeps it filling the view, switches the analyzer on
// and off through the hub, keeps its options and placement in the settings
// store ("FFT", "WinPos"/"Analyzer") and exchanges them with workspace
// records of type 132.
//
// UI thread only. The feed is handed to the hub, which runs it on the
// capture thread; the hub must be done with it before the view goes.
#include "meters/analyzer/FftCtrl.h"
#include "meters/analyzer/FftFeed.h"
#include "meters/common/MeterView.h"
#include "workspace/WinSet.h"

#include <cstdint>
#include <memory>

class CFftView : public CMeterView {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Spectrum Analyzer";
    static constexpr std::uint32_t kType = kTypeAnalyzer;

    // Reads the stored options and creates the control with them; the hub
    // counts a stored on state at OnInitialUpdate.
    explicit CFftView(IViewHost& host, QWidget* parent = nullptr);
    ~CFftView() override;

    CFftCtrl* Ctrl() const { return m_pCtrl; }
    CFftFeed& Feed() { return *m_pFeed; }

    int InstrumentType() const override { return static_cast<int>(kType); }
    void OnInitialUpdate() override;
    void OnActivateView(bool activate) override;
    void OnSize(int type) override;
    QSize MinTrackSize() const override;
    void OnDestroy() override;
    bool OnCommand(int id) override;
    COLORREF EraseColor() const override { return fft::kColorViewBackground; }

    // The capture rate, shown on top and used to place the labels.
    void SetSampleRate(int rate) { m_pCtrl->SetSampleRate(rate); }

    // Starts the class-wide state afresh (tests).
    static void ResetClassState();

protected:
    IMeterSwitch& Meter() override { return *m_pCtrl; }
    // Without a transform plan the analyzer refuses to run, with a notice,
    // and the hub is not asked.
    bool MaySwitchOn() override;
    // The bars are released and fall at the decay rate.
    void OnSwitchedOff() override { m_pCtrl->SetValue(0, -1); }
    void StoreOptions(CWinSet& record) override;
    void RestoreOptions(const CWinSet& record) override;
    int ActiveParam() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyPeakCode(int code);
    void ApplyDecayCode(int code);
    void FitControl();

    // One analyzer view exists; these belong to the class.
    static bool s_bMinimized;
    static bool s_bFirstActivation;

    CFftCtrl* m_pCtrl = nullptr;
    std::unique_ptr<CFftFeed> m_pFeed;
};
