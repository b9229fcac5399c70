#include "meters/stereo/StereoRing.h"

void CStereoRing::SetCount(int count)
{
    Reset();
    m_nCount = ValidPointCount(count);
}

const StereoPoint* CStereoRing::Push(StereoPoint point)
{
    m_aRing[m_nRingPos] = point;
    if (++m_nRingPos == m_nCount) {
        m_nRingPos = 0;
        m_bRingFull = true;
    }
    return m_bRingFull ? &m_aRing[m_nRingPos] : nullptr;
}

void CStereoRing::Reset()
{
    m_nRingPos = 0;
    m_bRingFull = false;
}
