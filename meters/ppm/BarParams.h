#pragma once
// The settings a meter's bars share: scale size, zone points and colours,
// orientation, peak mode, the level and dB tables, and the owner the bars
// draw through. The control owns one; each bar holds a pointer to it.
// UI thread only.
#include "meters/ppm/PpmIds.h"
#include "platform/ColorRef.h"

#include <cstdint>

class IPpmBarOwner;

struct BarParams {
    unsigned m_nSteps = ppm::kSteps;
    unsigned m_nTweenPoint = ppm::kDefaultTweenPoint;
    unsigned m_nOverPoint = ppm::kDefaultOverPoint;
    int m_bHorizontal = 0;
    int m_bPeakHold = 0;
    int m_bPeakDecay = 1;
    COLORREF m_crNorm = ppm::kDefaultNormColor;
    COLORREF m_crTween = ppm::kDefaultTweenColor;
    COLORREF m_crOver = ppm::kDefaultOverColor;
    // The tick pen: solid, one pixel.
    COLORREF m_penTick = ppm::kTickColor;
    unsigned m_nTableSize = ppm::kTableSize;
    const std::uint16_t* m_pLevelTable = nullptr;
    const double* m_pDbTable = nullptr;
    IPpmBarOwner* m_pOwner = nullptr;
};
