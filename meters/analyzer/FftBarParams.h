#pragma once
// The block every analyzer bar shares: the level model, the colour zones,
// the peak modes and the drawing context the bars paint into. Owned by the
// display control. UI thread only.
#include "meters/analyzer/FftIds.h"
#include "meters/analyzer/FftLevelTable.h"
#include "platform/ColorRef.h"

class CDrawContext;

struct FftBarParams {
    unsigned m_nLevelCount = fft::kLevelCount;
    unsigned m_nTweenPoint = fft::kDefaultTweenPoint;
    unsigned m_nOverPoint = fft::kDefaultOverPoint;
    int m_bPeakHold = 0;
    int m_bPeakDecay = 1;
    COLORREF m_crNorm = fft::kDefaultNormColor;
    COLORREF m_crTween = fft::kDefaultTweenColor;
    COLORREF m_crOver = fft::kDefaultOverColor;
    COLORREF m_crScalePen = fft::kColorScale;
    const CFftLevelTable* m_pLevelTable = nullptr;
    // The owner's own device context.
    CDrawContext* m_pDc = nullptr;
};
