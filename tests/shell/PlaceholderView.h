#pragma once
// A view that measures and draws nothing, takes no settings and keeps its
// window's size, for tests of the child frame without an instrument. It
// still sets up the menus at its first activation, as every view does. UI thread only.
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
    void OnUpdate(int, CWsp*) override {}

private:
    int m_nType;
    bool m_bFirstActivation = true;
};
