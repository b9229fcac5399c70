#pragma once
// The analyzer's tick schedule. Every meter tick adds 10 to a tick
// accumulator shared by the whole program (CMeterTickShare, owned with the
// hub); when it reaches the decay time (10, 20 or 30) the bars fall one step
// and, with peak decay, the clock's own peak accumulator gains the decay
// time: at 60 the peak markers fall, so every sixth tick whatever the decay
// time. The shared busy flag keeps a tick from starting while another one
// runs.
//
// Plain C++. UI thread only.
#include "meters/common/MeterTickShare.h"

class CFftTickClock {
public:
    struct Due {
        bool decay = false;    // bars fall this tick
        bool peakFall = false; // peak markers fall first
    };

    // Ties the accumulator to the program's; by default the clock counts on its own.
    void SetShare(CMeterTickShare* share) { m_pShare = share ? share : &m_own; }

    // Counts one tick. When `decay` is due the busy flag is set, and the
    // caller must call Finish() once the bars have fallen.
    Due Advance(int decayTime, bool peakDecay);
    void Finish() { m_pShare->busy = 0; }

    int PeakAccum() const { return m_nPeakAccum; }
    void SetPeakAccum(int units) { m_nPeakAccum = units; }

private:
    CMeterTickShare m_own;
    CMeterTickShare* m_pShare = &m_own;
    int m_nPeakAccum = 0;
};
