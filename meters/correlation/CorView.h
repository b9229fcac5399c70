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

protected:
    IMeterSwitch& Meter() override { return *m_pCor; }
    void StoreOptions(CWinSet& record) override;
    void RestoreOptions(const CWinSet& record) override;
    int ActiveParam() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnOrientation();
    void FitControl();

    // One correlation view exists; these belong to the class.
    static bool s_bMinimized;
    static bool s_bFirstActivation;

    CCorCtrl* m_pCor = nullptr;
    CCorEstimator m_estimator;
};
