#include "meters/ppm/PpmBar.h"

#include "meters/ppm/BarParams.h"
#include "meters/ppm/PpmBarOwner.h"
#include "meters/ppm/PpmModel.h"
#include "platform/DrawContext.h"

#include <algorithm>

CPpmBar::CPpmBar(const CRect& rc, BarParams* params, CPpmChannel* channel)
    : m_nPeakY(ppm::kNoPeakY)
    , m_nPeakX(ppm::kNoPeakX)
    , m_rcBar(rc)
    , m_pParams(params)
    , m_pChannel(channel ? channel : &m_ownChannel)
{
}

CPpmBar::~CPpmBar() = default;

bool CPpmBar::Horizontal() const { return m_pParams->m_bHorizontal != 0; }

int CPpmBar::Length() const { return Horizontal() ? m_rcBar.Width() : m_rcBar.Height(); }

int CPpmBar::EndOf(unsigned step) const
{
    // The level and both zone points go through this one mapping, so a bar
    // that ends on a zone point ends exactly on the zone's boundary and a
    // fall meets the pixel the rise painted to.
    int span = 0;
    if (step > 0) {
        const double ratio = std::max(1.0, static_cast<double>(m_pParams->m_nSteps) / step);
        span = static_cast<int>(Length() / ratio);
    }
    return Horizontal() ? m_rcBar.left + span : m_rcBar.bottom - span;
}

int CPpmBar::PeakPos() const { return Horizontal() ? m_nPeakX : m_nPeakY; }

int CPpmBar::PeakStep() const { return std::max(1, Length() / static_cast<int>(m_pParams->m_nSteps)); }

void CPpmBar::ResetMarker()
{
    m_nPeakY = ppm::kNoPeakY;
    m_nPeakX = ppm::kNoPeakX;
    // A repaint resets the markers; whatever covered the readout, it is printed again.
    m_bReadoutShown = false;
}

CPpmBar::PaintedWith CPpmBar::CurrentPaint() const
{
    const BarParams& p = *m_pParams;
    return PaintedWith { m_rcBar, p.m_nSteps, p.m_nTweenPoint, p.m_nOverPoint, p.m_bHorizontal, p.m_crNorm, p.m_crTween, p.m_crOver };
}

int CPpmBar::RiseStart()
{
    const PaintedWith now = CurrentPaint();
    const bool keep = m_bPainted && m_nLastDrawn > 0 && m_painted == now;
    m_bPainted = true;
    m_painted = now;
    if (keep)
        return EndOf(m_nLastDrawn);
    return Horizontal() ? m_rcBar.left : m_rcBar.bottom;
}

void CPpmBar::Fill(const CRect& rc, COLORREF color)
{
    if (!rc.IsRectEmpty())
        m_pParams->m_pOwner->BarDc().FillSolidRect(rc, color);
}

void CPpmBar::Draw()
{
    const BarParams& p = *m_pParams;
    unsigned& level = m_pChannel->level;
    // Steps run 0..m_nSteps-1; anything above is the caller's error.
    if (level >= p.m_nSteps) {
        level = p.m_nSteps - 1;
        return;
    }
    if (level < m_nLastDrawn)
        return; // falling is ShowFall's work
    const int end = EndOf(level);
    const int tween = EndOf(p.m_nTweenPoint);
    const int over = EndOf(p.m_nOverPoint);
    // Everything before the end last painted already holds its zone colour.
    const int from = RiseStart();
    m_nLastDrawn = level;

    const CRect& b = m_rcBar;
    COLORREF zone;
    bool passedMarker;
    if (Horizontal()) {
        Fill(CRect(std::max(b.left, from), b.top, std::min(end, tween), b.bottom), p.m_crNorm);
        Fill(CRect(std::max(tween, from), b.top, std::min(end, over), b.bottom), p.m_crTween);
        Fill(CRect(std::max(over, from), b.top, end, b.bottom), p.m_crOver);
        zone = end <= tween ? p.m_crNorm : end <= over ? p.m_crTween : p.m_crOver;
        passedMarker = end > m_nPeakX;
        if (passedMarker)
            m_nPeakX = end;
    } else {
        Fill(CRect(b.left, std::max(end, tween), b.right, std::min(b.bottom, from)), p.m_crNorm);
        Fill(CRect(b.left, std::max(end, over), b.right, std::min(tween, from)), p.m_crTween);
        Fill(CRect(b.left, end, b.right, std::min(over, from)), p.m_crOver);
        zone = end >= tween ? p.m_crNorm : end >= over ? p.m_crTween : p.m_crOver;
        passedMarker = end < m_nPeakY;
        if (passedMarker)
            m_nPeakY = end;
    }
    if (passedMarker)
        m_crPeak = zone;
    // The maximum is the model's, in scale steps: neighbouring steps that
    // share a pixel still reprint the readout.
    if (passedMarker || m_pChannel->maxLevel != m_nShownMax)
        DrawReadout();
}

void CPpmBar::ShowFall()
{
    const unsigned level = m_pChannel->level;
    const int pos = EndOf(level);
    if (level < m_nLastDrawn) {
        const CRect& b = m_rcBar;
        Fill(Horizontal() ? CRect(pos, b.top, b.right, b.bottom) : CRect(b.left, b.top, b.right, pos), ppm::kBlack);
        m_nLastDrawn = level;
    }
    const BarParams& p = *m_pParams;
    const bool atStart = Horizontal() ? m_nPeakX == m_rcBar.left : m_nPeakY == m_rcBar.bottom;
    const bool beyond = Horizontal() ? pos < m_nPeakX : pos > m_nPeakY;
    if (!atStart && (p.m_bPeakHold || (p.m_bPeakDecay && beyond)))
        DrawPeakLine();
}

void CPpmBar::DrawPeakLine()
{
    const CRect& b = m_rcBar;
    if (Horizontal())
        Fill(CRect(m_nPeakX - 1, b.top, m_nPeakX, b.bottom), m_crPeak);
    else
        Fill(CRect(b.left, m_nPeakY, b.right, m_nPeakY + 1), m_crPeak);
}

void CPpmBar::PeakFall()
{
    const int pos = EndOf(m_pChannel->level);
    const int step = PeakStep();
    if (Horizontal()) {
        if (m_nPeakX < pos)
            m_nPeakX = pos;
        if (m_nPeakX > pos) {
            ErasePeak();
            m_nPeakX -= step;
        }
    } else {
        if (m_nPeakY > pos)
            m_nPeakY = pos;
        if (m_nPeakY < pos) {
            ErasePeak();
            m_nPeakY += step;
        }
    }
}

void CPpmBar::Clear()
{
    Fill(m_rcBar, ppm::kBlack);
    m_bPainted = false;
}

void CPpmBar::ErasePeak()
{
    const CRect& b = m_rcBar;
    if (Horizontal())
        Fill(CRect(m_nPeakX - 1, b.top, m_nPeakX, b.bottom), ppm::kBlack);
    else
        Fill(CRect(b.left, m_nPeakY, b.right, m_nPeakY + 1), ppm::kBlack);
}

QString CPpmBar::ReadoutText() const
{
    return QString::fromStdString(CPpmModel::ReadoutText(m_pChannel->maxLevel));
}

void CPpmBar::DrawReadout()
{
    const unsigned top = m_pParams->m_nSteps - 1;
    m_nShownMax = m_pChannel->maxLevel;
    const COLORREF color = m_nShownMax >= top ? m_pParams->m_crOver : ppm::kReadoutColor;
    // Text is costly to shape and draw, and the marker passes the bar's end
    // often while the maximum stands still.
    QString text = ReadoutText();
    if (m_bReadoutShown && color == m_crReadout && text == m_strReadout)
        return;
    m_bReadoutShown = true;
    m_crReadout = color;
    m_strReadout = text;
    CDrawContext& dc = m_pParams->m_pOwner->BarDc();
    m_pParams->m_pOwner->SelectReadoutFont(dc);
    dc.SetBkColor(ppm::kBlack);
    dc.SetTextColor(color);
    const CRect& rc = m_rcReadout;
    // An empty text still blanks the rectangle.
    if (Horizontal()) {
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.ExtTextOut(rc.left, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, text);
    } else {
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.ExtTextOut((rc.left + rc.right) / 2, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, text);
    }
}
