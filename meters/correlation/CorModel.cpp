#include "meters/correlation/CorModel.h"

#include <algorithm>
#include <cmath>

namespace {
// The phase angle's arithmetic uses this value of pi, so -1 reads exactly 180.
constexpr double kPi = 3.1415926535;
constexpr double kHalfTurnDegrees = 180.0;
}

bool CCorModel::Input(double smoothed, double raw)
{
    ++m_nReadings;
    m_dLastSmoothed = smoothed;
    m_dLastRaw = raw;
    if (!(smoothed >= -1.0 && smoothed <= 1.0))
        return false;
    AccumulateAngle(raw);
    return true;
}

int CCorModel::AngleOf(double raw)
{
    if (!std::isfinite(raw))
        return -1;
    const double r = std::clamp(raw, -1.0, 1.0);
    return static_cast<int>(kHalfTurnDegrees / (kPi / std::acos(r)));
}

void CCorModel::AccumulateAngle(double raw)
{
    const int angle = AngleOf(raw);
    if (angle < 0)
        return;
    if (angle > cor::kRightAngle)
        m_nMaxAngle = std::max(m_nMaxAngle, angle);
    else if (angle < cor::kRightAngle)
        m_nMinAngle = std::min(m_nMinAngle, angle);
}

void CCorModel::ClearAngles()
{
    m_nMinAngle = cor::kNoMinAngle;
    m_nMaxAngle = cor::kNoMaxAngle;
}
