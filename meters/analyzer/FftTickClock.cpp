#include "meters/analyzer/FftTickClock.h"

#include "meters/analyzer/FftIds.h"

CFftTickClock::Due CFftTickClock::Advance(int decayTime, bool peakDecay)
{
    Due due;
    if (m_pShare->busy)
        return due;
    m_pShare->accum += fft::kTickUnits;
    if (m_pShare->accum < decayTime)
        return due;
    m_pShare->accum = 0;
    m_pShare->busy = 1;
    due.decay = true;
    if (peakDecay) {
        m_nPeakAccum += decayTime;
        if (m_nPeakAccum >= fft::kPeakFallUnits) {
            m_nPeakAccum = 0;
            due.peakFall = true;
        }
    }
    return due;
}
