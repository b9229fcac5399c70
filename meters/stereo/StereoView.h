#pragma once
// The stereo meter's window content: hosts the display control as the
// largest centred square that fits, with a dark grey margin around it,
// switches the meter on and off through the hub, keeps its options, point
// colour and placement in the settings store ("STM", "WinPos"/"Stereo-Meter")
// and exchanges them with workspace records of type 133.
//
// UI thread only.
#include "meters/common/MeterView.h"
#include "meters/stereo/StereoCtrl.h"
#include "workspace/WinSet.h"

#include <cstdint>

class CStereoView : public CMeterView {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Stereo-Meter";
    static constexpr std::uint32_t kType = kTypeStereo;

    // Creates the control with the stored colour, point size, point count,
    // on state and sample step; the hub counts the on state at OnInitialUpdate.
    explicit CStereoView(IViewHost& host, QWidget* parent = nullptr);

    CStereoCtrl* Ctrl() { return &m_wndStereo; }

    int InstrumentType() const override { return static_cast<int>(kType); }
    void OnInitialUpdate() override;
    void OnActivateView(bool activate) override;
    void OnSize(int type) override;
    QSize MinTrackSize() const override;
    void OnDestroy() override;
    bool OnCommand(int id) override;
    COLORREF EraseColor() const override { return kStereoMarginColor; }

    // The square the control is kept in: the largest that fits the view,
    // centred.
    static CRect CentredSquare(int width, int height);

protected:
    IMeterSwitch& Meter() override { return m_wndStereo; }
    // Switching off removes the trace at once.
    void OnSwitchedOff() override { m_wndStereo.EraseAllPoints(); }
    void StoreOptions(CWinSet& record) override;
    void RestoreOptions(const CWinSet& record) override;
    int ActiveParam() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ReadSettings();
    void PlaceControl();

    CStereoCtrl m_wndStereo;

    // One stereo view exists; these belong to the class.
    static bool s_bMinimized;
    static bool s_bFirstActivation;
};
