#pragma once
// A control's "own device context": a back-buffer image of the client area
// plus the objects selected into it (pen, brush, font, text and background
// colours, text alignment), which stay selected between calls. Every
// primitive draws into the back buffer in exact pixels and reports the
// rectangle it changed, so the owning widget repaints only that.
//
// Coordinates are logical pixels. On a screen with a device pixel ratio the
// back buffer holds `scale` device pixels per logical pixel, and every
// primitive covers whole scale x scale blocks, so a one-pixel line is exactly
// `scale` device pixels wide and nothing is blurred by stretching; text is
// rendered at device resolution from the same logical layout.
// Owned and used by the UI thread only.
#include "platform/ColorRef.h"
#include "platform/Rect.h"

#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QImage>
#include <QString>
#include <functional>

// Raster operations of PatBlt.
enum class Rop { Blackness, PatCopy, PatInvert };

// Pen styles: solid, or every other pixel lit along the line.
enum class PenStyle { Solid, Dot };

// Text alignment (SetTextAlign); horizontal and vertical parts combine.
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 0x0002;
constexpr unsigned ETO_CLIPPED = 0x0004;

// DrawText formats.
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

class CDrawContext {
public:
    CDrawContext();

    // A new back buffer of this logical size, all black, with `scale` device
    // pixels per logical pixel (at least 1). Selected objects are kept.
    void Resize(int width, int height, int scale = 1);
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int Scale() const { return m_nScale; }
    CRect ClientRect() const { return CRect(0, 0, Width(), Height()); }
    // The back buffer, in device pixels (its device pixel ratio is the
    // scale). Whoever keeps a copy of it shares its pixels until the
    // next primitive writes (which then takes a pixel buffer of its own).
    const QImage& Image() const
    {
        m_bMaybeShared = true;
        return m_image;
    }

    // Called with every changed rectangle (in logical pixels).
    void SetDirtyHandler(std::function<void(const CRect&)> handler) { m_dirty = std::move(handler); }

    // Selection; each returns the previous value where GDI would.
    void SelectPen(COLORREF color, int width = 1, PenStyle style = PenStyle::Solid);
    COLORREF SelectBrush(COLORREF color);
    void SelectFont(const QFont& font);
    const QFont& SelectedFont() const { return m_font; }
    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    unsigned SetTextAlign(unsigned align);
    COLORREF TextColor() const { return m_crText; }
    COLORREF BkColor() const { return m_crBk; }
    COLORREF BrushColor() const { return m_crBrush; }

    // Height of a text line in the selected font (ascent + descent).
    int TextHeight() const;
    int TextWidth(const QString& text) const;

    // Fills `rc` (right and bottom edges excluded) with a solid colour.
    void FillSolidRect(const CRect& rc, COLORREF color);
    // BLACKNESS fills black, PATCOPY fills with the brush, PATINVERT XORs
    // every pixel with the brush colour (twice restores the pixels).
    void PatBlt(const CRect& rc, Rop rop);
    // Text at (x, y) placed by the selected alignment, in the text colour.
    // ETO_OPAQUE fills `rc` with the background colour first; ETO_CLIPPED
    // keeps every pixel of the text inside `rc`.
    void ExtTextOut(int x, int y, unsigned options, const CRect* rc, const QString& text);
    // Text written upwards, as a font with an escapement of 900 draws it:
    // laid out as ExtTextOut would lay it out at (x, y), then turned a
    // quarter turn counter-clockwise about (x, y). `rc` is not turned.
    void ExtTextOutUp(int x, int y, unsigned options, const CRect* rc, const QString& text);
    // Lines with the selected pen; the end point itself is not drawn.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Single-line text in `rc`, clipped to it, aligned by the DT_ flags, with
    // "..." replacing the end when DT_END_ELLIPSIS is set and it does not fit.
    // Drawn transparently (no background).
    void DrawText(const QString& text, const CRect& rc, unsigned format);

    void SetPixel(int x, int y, COLORREF color);
    COLORREF GetPixel(int x, int y) const;

private:
    void MarkDirty(const CRect& rc);
    CRect ClipToImage(const CRect& rc) const;
    void PlotPenPixel(int x, int y, int index);
    // Sets every device pixel of the logical rectangle `r` (already clipped).
    void FillDevice(const CRect& r, std::uint32_t pixel);
    void TakePixels();
    // Where text of `width` starts relative to its reference point, by the
    // selected alignment.
    QPoint AlignmentOffset(int width, const QFontMetrics& fm) const;
    // Fills the opaque box, then draws the glyphs (drawGlyphs(painter)) in the
    // character cell, clipped as the options ask, and reports the change.
    template <typename DrawGlyphs>
    void TextInCell(const CRect& cell, unsigned options, const CRect* rc, bool empty, DrawGlyphs drawGlyphs);
    void EnsurePixels();
    std::uint32_t* Row(int y) { return m_pPixels + static_cast<std::ptrdiff_t>(y) * m_nStride; }

    QImage m_image;
    std::uint32_t* m_pPixels = nullptr;
    int m_nStride = 0;
    int m_nWidth = 1;
    int m_nHeight = 1;
    int m_nScale = 1;
    // Set when the image may have been copied or repainted by a QPainter
    // since the pixel pointer was taken.
    mutable bool m_bMaybeShared = false;
    std::function<void(const CRect&)> m_dirty;
    COLORREF m_crPen = RGB(0, 0, 0);
    int m_nPenWidth = 1;
    PenStyle m_penStyle = PenStyle::Solid;
    COLORREF m_crBrush = RGB(255, 255, 255);
    QFont m_font;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBk = RGB(255, 255, 255);
    unsigned m_nTextAlign = TA_LEFT | TA_TOP;
    int m_nCurX = 0;
    int m_nCurY = 0;
};
