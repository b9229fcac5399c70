#pragma once
// The peak programme meter's window content ("PPM-Meter", type 129): hosts
// the display control and keeps it filling the view, switches the meter on
// and off through the hub, flips the orientation together with the frame's
// default size, keeps its options, colours and placement in the settings
// store (section "PPM", placement "WinPos"/"PPM") and exchanges orientation,
// on state, peak mode and decay with workspace records.
//
// It registers its control as the hub's PPM at OnInitialUpdate and counts a
// meter that starts on there (the hub's CountRestoredMeter), so the shell
// opens the capture after creating the views if any of them is on.
//
// UI thread only.
#include "meters/common/MeterView.h"
#include "meters/ppm/PpmCtrl.h"

#include <cstdint>

class CPpmView : public CMeterView {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "PPM-Meter";
    static constexpr std::uint32_t kType = 129;

    // Creates the control from the stored settings (first-run defaults when
    // there are none). The on state is only recorded here.
    explicit CPpmView(IViewHost& host, QWidget* parent = nullptr);
    ~CPpmView() override;

    CPpmCtrl* Ctrl() const { return m_pCtrl; }

    int InstrumentType() const override { return static_cast<int>(kType); }
    void OnInitialUpdate() override;
    void OnActivateView(bool activate) override;
    void OnSize(int type) override;
    QSize MinTrackSize() const override;
    void OnDestroy() override;
    // 32771 "PPM On/Off" and 201 (orientation).
    bool OnCommand(int id) override;
    COLORREF EraseColor() const override;

protected:
    IMeterSwitch& Meter() override { return *m_pCtrl; }
    // The bars are no longer held up by new peaks and fall to zero.
    void OnSwitchedOff() override { m_pCtrl->SetValue(0, -1); }
    void StoreOptions(CWinSet& record) override;
    void RestoreOptions(const CWinSet& record) override;
    int ActiveParam() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnOrientation();
    void ApplyPeakMode(int mode);
    void ApplyDecayIndex(int index);
    void FitControl();

    // One PPM view exists; these belong to the class.
    static bool s_bMinimized;
    static int s_bFirstActivation;

    CPpmCtrl* m_pCtrl = nullptr;
};
