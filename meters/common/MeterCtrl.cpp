#include "meters/common/MeterCtrl.h"

#include "meters/common/MeterCursor.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>

CMeterCtrl::CMeterCtrl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setCursor(CMeterCursor::Cursor());
    m_dc.SetDirtyHandler([this](const CRect& rc) { MarkDirty(rc); });
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setTimerType(Qt::PreciseTimer);
    m_flushTimer.callOnTimeout(this, &CMeterCtrl::FlushDirty);
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

void CMeterCtrl::MarkDirty(const CRect& rc)
{
    // A block can bring hundreds of small changes (a stereo trace, 128
    // bars): they are gathered into one rectangle and handed to the screen
    // once, when the UI thread's current work is done, and no sooner than
    // kMinFlushIntervalMs after the last hand-over.
    if (m_rcDirty.IsRectEmpty()) {
        m_rcDirty = rc;
    } else {
        m_rcDirty.left = std::min(m_rcDirty.left, rc.left);
        m_rcDirty.top = std::min(m_rcDirty.top, rc.top);
        m_rcDirty.right = std::max(m_rcDirty.right, rc.right);
        m_rcDirty.bottom = std::max(m_rcDirty.bottom, rc.bottom);
    }
    if (m_bFlushPosted)
        return;
    m_bFlushPosted = true;
    const qint64 wait = m_sinceFlush.isValid() ? kMinFlushIntervalMs - m_sinceFlush.elapsed() : 0;
    if (wait <= 0)
        QMetaObject::invokeMethod(this, &CMeterCtrl::FlushDirty, Qt::QueuedConnection);
    else
        m_flushTimer.start(static_cast<int>(wait));
}

void CMeterCtrl::FlushDirty()
{
    m_bFlushPosted = false;
    m_flushTimer.stop();
    m_sinceFlush.restart();
    if (!m_rcDirty.IsRectEmpty())
        update(m_rcDirty.ToQRect().translated(kBorder, kBorder));
    m_rcDirty = CRect();
}

void CMeterCtrl::ResizeBackBuffer()
{
    // Device resolution on a HiDPI screen, so nothing is stretched on its way there.
    m_dc.Resize(std::max(width() - 2 * kBorder, 0), std::max(height() - 2 * kBorder, 0),
        std::max(qRound(devicePixelRatioF()), 1));
}

void CMeterCtrl::paintEvent(QPaintEvent* event)
{
    // Moved to a screen of another pixel ratio: lay out and draw afresh.
    if (m_dc.Scale() != std::max(qRound(devicePixelRatioF()), 1)) {
        ResizeBackBuffer();
        Invalidate();
    }
    PaintNow();
    QPainter painter(this);
    const QRect client(kBorder, kBorder, width() - 2 * kBorder, height() - 2 * kBorder);
    const int s = m_dc.Scale();
    // Rectangle by rectangle with the clip set to each: a painter clipped to
    // a region of several rectangles (a window overlapping this one, or
    // separate changes) copies images through its general path, which hands
    // tall areas to worker threads and waits for them; one rectangle is a
    // plain copy on this thread.
    for (const QRect& rect : event->region()) {
        const QRect exposed = rect.intersected(client);
        if (exposed.isEmpty())
            continue;
        const QRect source = exposed.translated(-kBorder, -kBorder);
        painter.setClipRect(exposed);
        painter.drawImage(exposed, m_dc.Image(), QRect(source.topLeft() * s, source.size() * s));
    }
    painter.setClipping(false);
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
