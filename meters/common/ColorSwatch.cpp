#include "meters/common/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

CColorSwatch::CColorSwatch(int controlId, QWidget* parent) : QWidget(parent), m_nId(controlId)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("swatch%1").arg(controlId));
}

void CColorSwatch::SetColor(COLORREF color)
{
    m_crColor = color;
    // Erase and update at once, so the new colour shows before the caller goes on.
    repaint();
}

void CColorSwatch::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(m_crColor));
}

void CColorSwatch::mousePressEvent(QMouseEvent* event)
{
    m_bPressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void CColorSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_bPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_bPressed = false;
    if (click)
        emit clicked(m_nId);
    QWidget::mouseReleaseEvent(event);
}
