#include "meters/analyzer/FftBar.h"

#include "platform/DrawContext.h"

#include <algorithm>

CFftBar::CFftBar(FftBarParams* params, const CRect& rc, CFftBarState* state)
    : m_pParams(params), m_rcBar(rc), m_pState(state ? state : &m_own)
{
}

int CFftBar::LevelY(unsigned level) const
{
    if (level == 0)
        return m_rcBar.bottom;
    const double ratio = static_cast<double>(m_pParams->m_nLevelCount) / level;
    return m_rcBar.bottom - static_cast<int>(m_rcBar.Height() / ratio);
}

int CFftBar::ZoneY(unsigned point) const
{
    if (point == 0)
        return m_rcBar.bottom;
    const float ratio = static_cast<float>(static_cast<double>(m_pParams->m_nLevelCount) / point);
    return m_rcBar.bottom - static_cast<int>(static_cast<float>(m_rcBar.Height()) / ratio);
}

void CFftBar::FillRows(int top, int bottom, COLORREF color)
{
    if (bottom > top)
        m_pParams->m_pDc->FillSolidRect(CRect(m_rcBar.left, top, m_rcBar.right, bottom), color);
}

void CFftBar::Input(unsigned level)
{
    if (m_pState->Input(level))
        Draw();
}

int CFftBar::DecayStep() const { return m_pState->FallStep(); }

void CFftBar::Draw()
{
    const FftBarParams& p = *m_pParams;
    unsigned& level = m_pState->level;
    if (level > p.m_nLevelCount) {
        level = p.m_nLevelCount - 1;
        return;
    }
    if (level < m_nLastDrawn)
        return; // falls are Decay's work

    // Rows below the end last painted already hold their zone colours: only
    // the strip the bar rose by is painted.
    const int bottom = LevelY(m_nLastDrawn);
    const int y = LevelY(level);
    const int yT = ZoneY(p.m_nTweenPoint);
    const int yO = ZoneY(p.m_nOverPoint);
    FillRows(std::max(y, yT), bottom, p.m_crNorm);
    FillRows(std::max(y, yO), std::min(yT, bottom), p.m_crTween);
    FillRows(y, std::min(yO, bottom), p.m_crOver);
    const COLORREF topColor = y >= yT ? p.m_crNorm : y >= yO ? p.m_crTween : p.m_crOver;
    if (m_nPeakY > static_cast<unsigned>(y)) {
        m_nPeakY = static_cast<unsigned>(y);
        m_crPeak = topColor;
    }
    m_nLastDrawn = level;
}

bool CFftBar::PeakShown() const
{
    const FftBarParams& p = *m_pParams;
    return (p.m_bPeakHold || p.m_bPeakDecay) && m_nPeakY < static_cast<unsigned>(m_rcBar.bottom);
}

void CFftBar::Decay(int step)
{
    // A bar whose painting restarts from the bottom (new zone colours)
    // holds its level until its next rise repaints it, so what is shown
    // never runs ahead of what is painted.
    CFftBarState fallen = *m_pState;
    fallen.Fall(step);
    const unsigned next = fallen.level;
    if (next < m_nLastDrawn) {
        m_pParams->m_pDc->PatBlt(CRect(m_rcBar.left, m_rcBar.top, m_rcBar.right, LevelY(next)), Rop::Blackness);
        m_nLastDrawn = next;
        m_pState->level = next;
    }
    if (PeakShown()) {
        const int y = static_cast<int>(m_nPeakY);
        m_pParams->m_pDc->FillSolidRect(CRect(m_rcBar.left, y, m_rcBar.right, y + 1), m_crPeak);
    }
}

void CFftBar::PeakFall()
{
    const unsigned top = static_cast<unsigned>(LevelY(m_pState->level));
    if (m_nPeakY >= top) {
        m_nPeakY = top;
        return;
    }
    ErasePeak();
    const unsigned step = std::max(1u, static_cast<unsigned>(m_rcBar.Height()) / m_pParams->m_nLevelCount);
    // Never into the bar: a marker that would pass the top stops on it.
    m_nPeakY = std::min(m_nPeakY + step, top);
}

void CFftBar::Clear() { m_pParams->m_pDc->PatBlt(m_rcBar, Rop::Blackness); }

void CFftBar::ErasePeak()
{
    const int y = static_cast<int>(std::min<unsigned>(m_nPeakY, fft::kNoPeak));
    m_pParams->m_pDc->PatBlt(CRect(m_rcBar.left, y, m_rcBar.right, y + 1), Rop::Blackness);
}

void CFftBar::Reset(bool clearLevel)
{
    if (clearLevel)
        m_pState->level = 0;
    m_nLastDrawn = 0;
    m_nPeakY = fft::kNoPeak;
    Clear();
    Draw();
}
