#include "meters/stereo/StereoGeometry.h"

#include "meters/stereo/StereoIds.h"

#include <cmath>

CStereoGeometry::CStereoGeometry()
    : m_dSin(std::sin(kRotationAngle))
    , m_dCos(std::cos(kRotationAngle))
    , m_dRadius(kInitialSpan * kRadiusPerSpan)
    , m_dSamplesPerPixel(kFullScale / m_dRadius)
{
}

void CStereoGeometry::CalcGeometry(const CRect& rcClient)
{
    m_rcClient = rcClient;
    m_ptCentre = { (rcClient.left + rcClient.right) / 2, (rcClient.top + rcClient.bottom) / 2 };
    m_nSpan = ((rcClient.right - rcClient.left) / 4) * 3;
    m_dRadius = m_nSpan * kRadiusPerSpan;
    m_dSamplesPerPixel = m_dRadius > 0.0 ? kFullScale / m_dRadius : 0.0;
}

StereoPoint CStereoGeometry::Map(int left, int right) const
{
    // Samples per pixel; a control too small to have a span maps every
    // pair onto the centre instead of dividing by zero.
    if (m_dRadius <= 0.0)
        return m_ptCentre;
    const double p = std::trunc(right / m_dSamplesPerPixel);
    const double q = std::trunc(-left / m_dSamplesPerPixel);
    const int dx = static_cast<int>(p * m_dCos + q * m_dSin);
    const int dy = static_cast<int>(q * m_dCos - p * m_dSin);
    return { m_ptCentre.x + dx, m_ptCentre.y + dy };
}
