#include "meters/common/MeterView.h"

#include "platform/SettingsStore.h"

#include <QPainter>
#include <QPaintEvent>

CMeterView::CMeterView(IViewHost& host, QWidget* parent) : QWidget(parent), m_host(host)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CMeterView::IsActiveView() const { return m_host.ActiveView() == this; }

bool CMeterView::RestorePlacement(const QString& entry)
{
    CWindowPlacement placement;
    if (!m_pFrame || !CWindowPlacement::FromBytes(CSettingsStore::GetBinary(QStringLiteral("WinPos"), entry), placement))
        return false;
    m_pFrame->SetWindowPlacement(placement);
    return true;
}

void CMeterView::SavePlacement(const QString& entry)
{
    if (m_pFrame)
        CSettingsStore::WriteBinary(QStringLiteral("WinPos"), entry, m_pFrame->GetWindowPlacement().ToBytes());
}

void CMeterView::ResizeFrame(int width, int height)
{
    if (!m_pFrame)
        return;
    QRect rc = m_pFrame->FrameRect();
    rc.setSize(QSize(width, height));
    m_pFrame->MoveFrame(rc);
}

void CMeterView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), ToQColor(EraseColor()));
}
