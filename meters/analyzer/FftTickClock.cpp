#include "meters/analyzer/FftTickClock.h"

#include "meters/analyzer/FftIds.h"

int CFftTickClock::s_nTickAccum = 0;
int CFftTickClock::s_bTickBusy = 0;

void CFftTickClock::ResetShared()
{
    s_nTickAccum = 0;
    s_bTickBusy = 0;
}

CFftTickClock::Due CFftTickClock::Advance(int decayTime, bool peakDecay)
{
    Due due;
    if (s_bTickBusy)
        return due;
    s_nTickAccum += fft::kTickUnits;
    if (s_nTickAccum < decayTime)
        return due;
    s_nTickAccum = 0;
    s_bTickBusy = 1;
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
