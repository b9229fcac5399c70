#pragma once
// The correlation meter's window content: hosts the display control, keeps
// it filling the view, switches the meter on and off through the hub, flips
// the orientation together with the frame's size, keeps its options and
// placement in the settings store and exchanges them with workspaces.
//
// UI thread only. The estimator it owns is handed to the hub, which runs it
// on the capture thread.
#include "meters/common/MeterView.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/correlation/CorEstimator.h"
#include "workspace/WinSet.h"

#include <cstdint>

class CCorView : public CMeterView {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Correlation-Meter";
    static constexpr std::uint32_t kType = kTypeCorrelation;

    // Creates the control and gives it the stored orientation and on state;
    // the hub counts the on state at OnInitialUpdate.
    explicit CCorView(IViewHost& host, QWidget* parent = nullptr);

    CCorCtrl* Ctrl() const { return m_pCor; }
    CCorEstimator& Estimator() { return m_estimator; }

    int InstrumentType() const override { return static_cast<int>(kType); }
    void OnInitialUpdate() override;
    void OnActivateView(bool activate) override;
    void OnSize(int type) override;
    QSize MinTrackSize() const override;
    void OnDestroy() override;
    bool OnCommand(int id) override;
    COLORREF EraseColor() const override;
    void OnUpdate(int hint, CWsp* workspace) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnMeterOnOff();
    void OnOrientation();
    void StoreWorkspace(CWsp& workspace);
    void RestoreWorkspace(const CWsp& workspace);
    void ArrangeWorkspace(const CWsp& workspace);
    // Switches the meter on or off through the hub; the control shows the
    // outcome.
    void SwitchMeter(bool on);
    void FitControl();

    // One correlation view exists; these belong to the class.
    static bool s_bMinimized;
    static bool s_bFirstActivation;

    CCorCtrl* m_pCor = nullptr;
    CCorEstimator m_estimator;
};
