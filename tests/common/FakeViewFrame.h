#pragma once
// Stand-ins for the shell's child frame and view host, so a view can be
// tested without the main window. They record what the view asks of them.
#include "meters/common/ViewFrame.h"
#include "meters/common/ViewHost.h"

#include <QRect>
#include <QString>
#include <vector>

class CFakeViewFrame : public IViewFrame {
public:
    void SetMeterOn(int on) override { m_meterOnCalls.push_back(on); }
    CWindowPlacement GetWindowPlacement() const override
    {
        CWindowPlacement p = m_placement;
        p.left = m_rect.left();
        p.top = m_rect.top();
        p.right = m_rect.left() + m_rect.width();
        p.bottom = m_rect.top() + m_rect.height();
        return p;
    }
    void SetWindowPlacement(const CWindowPlacement& placement) override
    {
        m_placement = placement;
        m_rect = QRect(placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
        ++m_nSetPlacementCalls;
    }
    QString WindowText() const override { return m_title; }
    QRect FrameRect() const override { return m_rect; }
    void MoveFrame(const QRect& rect) override { m_rect = rect; }
    void MdiRestore() override { m_actions.push_back(QStringLiteral("restore")); m_placement.showCmd = SW_SHOWNORMAL; }
    void MdiMaximize() override { m_actions.push_back(QStringLiteral("maximize")); m_placement.showCmd = SW_SHOWMAXIMIZED; }
    void ShowMinimized() override { m_actions.push_back(QStringLiteral("minimize")); m_placement.showCmd = SW_SHOWMINIMIZED; }
    void MdiActivate() override { m_actions.push_back(QStringLiteral("activate")); }
    bool IsMinimized() const override { return m_placement.showCmd == SW_SHOWMINIMIZED; }

    QString m_title = QStringLiteral("Meter");
    QRect m_rect { 10, 20, 200, 150 };
    CWindowPlacement m_placement;
    std::vector<int> m_meterOnCalls;
    std::vector<QString> m_actions;
    int m_nSetPlacementCalls = 0;
};

class CFakeViewHost : public IViewHost {
public:
    explicit CFakeViewHost(CVelmoraDoc& doc) : m_doc(doc) {}
    CVelmoraDoc& Doc() override { return m_doc; }
    QWidget* ActiveView() const override { return m_pActiveView; }
    void OnFirstActivation() override { ++m_nFirstActivations; }

    CVelmoraDoc& m_doc;
    QWidget* m_pActiveView = nullptr;
    int m_nFirstActivations = 0;
};
