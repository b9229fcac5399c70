#pragma once
// A view that measures and draws nothing, for tests of the child frame; it
// still sets up the menus at its first activation. UI thread only.
#include "meters/common/MeterView.h"

class CPlaceholderView : public CMeterView {
    Q_OBJECT
public:
    CPlaceholderView(IViewHost& host, int type, QWidget* parent = nullptr);

    int InstrumentType() const override { return m_nType; }
    void OnInitialUpdate() override;
    void OnActivateView(bool activate) override;
    void OnSize(int) override {}
    QSize MinTrackSize() const override;
    void OnDestroy() override {}
    bool OnCommand(int) override { return false; }
    COLORREF EraseColor() const override;

protected:
    IMeterSwitch& Meter() override { return m_meter; }
    void StoreOptions(CWinSet&) override {}
    void RestoreOptions(const CWinSet&) override {}
    int ActiveParam() const override { return 0; }

private:
    // A meter that never runs.
    class CNoMeter : public IMeterSwitch {
    public:
        int IsOn() const override { return 0; }
        void SetOn(int) override {}
    };

    CNoMeter m_meter;
    int m_nType;
    bool m_bFirstActivation = true;
};
