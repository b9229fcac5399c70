#include "meters/common/MeterCtrl.h"

#include "meters/common/MeterCursor.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

CMeterCtrl::CMeterCtrl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setCursor(CMeterCursor::Cursor());
    m_dc.SetDirtyHandler([this](const CRect& rc) {
        QRect r = rc.ToQRect();
        update(r.translated(kBorder, kBorder));
    });
    ResizeBackBuffer();
}

void CMeterCtrl::Invalidate()
{
    m_bInvalid = true;
    update();
}

void CMeterCtrl::PaintNow()
{
    if (!m_bInvalid)
        return;
    m_bInvalid = false;
    OnPaint();
}

void CMeterCtrl::MoveWindow(const CRect& rc) { setGeometry(rc.ToQRect()); }

void CMeterCtrl::ResizeBackBuffer()
{
    m_dc.Resize(std::max(width() - 2 * kBorder, 0), std::max(height() - 2 * kBorder, 0));
}

void CMeterCtrl::paintEvent(QPaintEvent* event)
{
    PaintNow();
    QPainter painter(this);
    const QRect client(kBorder, kBorder, width() - 2 * kBorder, height() - 2 * kBorder);
    const QRect exposed = event->rect().intersected(client);
    if (!exposed.isEmpty())
        painter.drawImage(exposed.topLeft(), m_dc.Image(), exposed.translated(-kBorder, -kBorder));
    // WS_BORDER: a one-pixel frame around the client area.
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

void CMeterCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ResizeBackBuffer();
    Invalidate();
}

void CMeterCtrl::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Invalidate();
}

void CMeterCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = ToClient(event->position().toPoint());
        OnLButtonDown(p.x(), p.y());
    }
    QWidget::mousePressEvent(event);
}

void CMeterCtrl::contextMenuEvent(QContextMenuEvent* event) { OnContextMenu(event->globalPos()); }
