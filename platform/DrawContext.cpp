#include "platform/DrawContext.h"

#include <QFontMetrics>
#include <QPainter>
#include <cstdlib>

CDrawContext::CDrawContext() : m_image(1, 1, QImage::Format_RGB32)
{
    m_image.fill(Qt::black);
    TakePixels();
}

void CDrawContext::Resize(int width, int height, int scale)
{
    m_nScale = std::max(scale, 1);
    m_image = QImage(std::max(width, 1) * m_nScale, std::max(height, 1) * m_nScale, QImage::Format_RGB32);
    // A painter on the image then works in logical pixels, as the primitives do.
    m_image.setDevicePixelRatio(m_nScale);
    m_image.fill(Qt::black);
    TakePixels();
    MarkDirty(ClientRect());
}

void CDrawContext::TakePixels()
{
    m_pPixels = reinterpret_cast<std::uint32_t*>(m_image.bits());
    m_nStride = static_cast<int>(m_image.bytesPerLine() / sizeof(std::uint32_t));
    m_nWidth = m_image.width() / m_nScale;
    m_nHeight = m_image.height() / m_nScale;
}

void CDrawContext::EnsurePixels()
{
    // QImage::scanLine checks for sharing on every row; the primitives check
    // only after the image was handed out or painted by a QPainter. Someone
    // holding a copy of it, or a painter that detached it, makes us take the
    // pixels afresh.
    if (!m_bMaybeShared)
        return;
    m_bMaybeShared = false;
    if (!m_image.isDetached() || m_image.constBits() != reinterpret_cast<const uchar*>(m_pPixels))
        TakePixels();
}

void CDrawContext::SelectPen(COLORREF color, int width, PenStyle style)
{
    m_crPen = color;
    m_nPenWidth = std::max(width, 1);
    m_penStyle = style;
}

COLORREF CDrawContext::SelectBrush(COLORREF color)
{
    const COLORREF old = m_crBrush;
    m_crBrush = color;
    return old;
}

void CDrawContext::SelectFont(const QFont& font) { m_font = font; }

COLORREF CDrawContext::SetTextColor(COLORREF color)
{
    const COLORREF old = m_crText;
    m_crText = color;
    return old;
}

COLORREF CDrawContext::SetBkColor(COLORREF color)
{
    const COLORREF old = m_crBk;
    m_crBk = color;
    return old;
}

unsigned CDrawContext::SetTextAlign(unsigned align)
{
    const unsigned old = m_nTextAlign;
    m_nTextAlign = align;
    return old;
}

int CDrawContext::TextHeight() const { return QFontMetrics(m_font).height(); }

int CDrawContext::TextWidth(const QString& text) const { return QFontMetrics(m_font).horizontalAdvance(text); }

CRect CDrawContext::ClipToImage(const CRect& rc) const { return CRect::Intersect(rc, ClientRect()); }

void CDrawContext::MarkDirty(const CRect& rc)
{
    if (m_dirty && !rc.IsRectEmpty())
        m_dirty(rc);
}

void CDrawContext::FillSolidRect(const CRect& rc, COLORREF color)
{
    EnsurePixels();
    const CRect r = ClipToImage(rc);
    if (r.IsRectEmpty())
        return;
    FillDevice(r, ToPixel(color));
    MarkDirty(r);
}

void CDrawContext::FillDevice(const CRect& r, std::uint32_t pixel)
{
    const int s = m_nScale;
    for (int y = r.top * s; y < r.bottom * s; ++y) {
        std::uint32_t* line = Row(y);
        std::fill(line + r.left * s, line + r.right * s, pixel);
    }
}

void CDrawContext::PatBlt(const CRect& rc, Rop rop)
{
    switch (rop) {
    case Rop::Blackness: FillSolidRect(rc, RGB(0, 0, 0)); return;
    case Rop::PatCopy: FillSolidRect(rc, m_crBrush); return;
    case Rop::PatInvert: break;
    }
    const CRect r = ClipToImage(rc);
    if (r.IsRectEmpty())
        return;
    EnsurePixels();
    const std::uint32_t mask = ToPixel(m_crBrush) & 0x00FFFFFFu;
    const int s = m_nScale;
    for (int y = r.top * s; y < r.bottom * s; ++y) {
        std::uint32_t* line = Row(y);
        for (int x = r.left * s; x < r.right * s; ++x)
            line[x] ^= mask;
    }
    MarkDirty(r);
}

QPoint CDrawContext::AlignmentOffset(int width, const QFontMetrics& fm) const
{
    int dx = 0;
    if ((m_nTextAlign & TA_CENTER) == TA_CENTER)
        dx = -width / 2;
    else if (m_nTextAlign & TA_RIGHT)
        dx = -width;
    int dy = 0;
    if ((m_nTextAlign & TA_BASELINE) == TA_BASELINE)
        dy = -fm.ascent();
    else if (m_nTextAlign & TA_BOTTOM)
        dy = -fm.height();
    return QPoint(dx, dy);
}

template <typename DrawGlyphs>
void CDrawContext::TextInCell(const CRect& cell, unsigned options, const CRect* rc, bool empty, DrawGlyphs drawGlyphs)
{
    CRect changed = cell;
    if (rc && (options & ETO_OPAQUE)) {
        FillSolidRect(*rc, m_crBk);
        changed = *rc;
    }
    CRect clip = ClientRect();
    if (rc && (options & ETO_CLIPPED))
        clip = CRect::Intersect(clip, *rc);
    const CRect painted = CRect::Intersect(cell, clip);
    if (painted.IsRectEmpty() || empty) {
        MarkDirty(ClipToImage(changed));
        return;
    }
    m_bMaybeShared = true;
    QPainter p(&m_image);
    p.setClipRect(painted.ToQRect());
    // The character cells get the background colour, as in opaque background mode.
    p.fillRect(painted.ToQRect(), ToQColor(m_crBk));
    p.setFont(m_font);
    p.setPen(ToQColor(m_crText));
    drawGlyphs(p);
    p.end();
    MarkDirty(ClipToImage(changed));
    MarkDirty(painted);
}

void CDrawContext::ExtTextOut(int x, int y, unsigned options, const CRect* rc, const QString& text)
{
    const QFontMetrics fm(m_font);
    const int width = fm.horizontalAdvance(text);
    const QPoint offset = AlignmentOffset(width, fm);
    const int left = x + offset.x();
    const int top = y + offset.y();
    const CRect cell(left, top, left + width, top + fm.height());
    TextInCell(cell, options, rc, text.isEmpty(), [&](QPainter& p) { p.drawText(QPoint(left, top + fm.ascent()), text); });
}

void CDrawContext::ExtTextOutUp(int x, int y, unsigned options, const CRect* rc, const QString& text)
{
    const QFontMetrics fm(m_font);
    const int width = fm.horizontalAdvance(text);
    // The unturned cell, relative to the reference point.
    const QPoint offset = AlignmentOffset(width, fm);
    const int dx = offset.x();
    const int dy = offset.y();
    // A quarter turn counter-clockwise maps (x + u, y + v) to (x + v, y - u).
    const CRect cell(x + dy, y - dx - width, x + dy + fm.height(), y - dx);
    TextInCell(cell, options, rc, text.isEmpty(), [&](QPainter& p) {
        p.translate(x, y);
        p.rotate(-90.0);
        p.drawText(QPoint(dx, dy + fm.ascent()), text);
    });
}

void CDrawContext::MoveTo(int x, int y)
{
    m_nCurX = x;
    m_nCurY = y;
}

void CDrawContext::PlotPenPixel(int x, int y, int index)
{
    if (m_penStyle == PenStyle::Dot && (index & 1))
        return;
    const int half = (m_nPenWidth - 1) / 2;
    const CRect r = ClipToImage(CRect(x - half, y - half, x - half + m_nPenWidth, y - half + m_nPenWidth));
    if (!r.IsRectEmpty())
        FillDevice(r, ToPixel(m_crPen));
}

void CDrawContext::LineTo(int x, int y)
{
    EnsurePixels();
    // Bresenham from the current position; the end point is excluded.
    int x0 = m_nCurX, y0 = m_nCurY;
    const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    int index = 0;
    while (x0 != x || y0 != y) {
        PlotPenPixel(x0, y0, index++);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    const int half = (m_nPenWidth - 1) / 2;
    MarkDirty(ClipToImage(CRect(std::min(m_nCurX, x) - half, std::min(m_nCurY, y) - half,
        std::max(m_nCurX, x) - half + m_nPenWidth, std::max(m_nCurY, y) - half + m_nPenWidth)));
    m_nCurX = x;
    m_nCurY = y;
}

void CDrawContext::DrawText(const QString& text, const CRect& rc, unsigned format)
{
    const CRect clip = ClipToImage(rc);
    if (clip.IsRectEmpty())
        return;
    const QFontMetrics fm(m_font);
    QString shown = text;
    if (format & DT_END_ELLIPSIS)
        shown = fm.elidedText(text, Qt::ElideRight, rc.Width());
    const int width = fm.horizontalAdvance(shown);
    int left = rc.left;
    if (format & DT_CENTER)
        left = rc.left + (rc.Width() - width) / 2;
    else if (format & DT_RIGHT)
        left = rc.right - width;
    int top = rc.top;
    if (format & DT_VCENTER)
        top = rc.top + (rc.Height() - fm.height()) / 2;
    m_bMaybeShared = true;
    QPainter p(&m_image);
    p.setClipRect(clip.ToQRect());
    p.setFont(m_font);
    p.setPen(ToQColor(m_crText));
    p.drawText(QPoint(left, top + fm.ascent()), shown);
    p.end();
    MarkDirty(clip);
}

void CDrawContext::SetPixel(int x, int y, COLORREF color)
{
    EnsurePixels();
    if (!ClientRect().PtInRect(x, y))
        return;
    FillDevice(CRect(x, y, x + 1, y + 1), ToPixel(color));
    MarkDirty(CRect(x, y, x + 1, y + 1));
}

COLORREF CDrawContext::GetPixel(int x, int y) const
{
    if (!ClientRect().PtInRect(x, y))
        return 0xFFFFFFFFu;
    // The block's top-left device pixel; a primitive sets the whole block alike.
    return FromPixel(reinterpret_cast<const std::uint32_t*>(m_image.constScanLine(y * m_nScale))[x * m_nScale]);
}
