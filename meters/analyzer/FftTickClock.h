#pragma once
// The analyzer's tick schedule. Every meter tick adds 10 to a tick
// accumulator shared by all analyzer controls; when it reaches the decay
// time (10, 20 or 30) the bars fall one step and, with peak decay, the
// control's peak accumulator gains the decay time: at 60 the peak markers
// fall, so every sixth tick whatever the decay time. A busy flag, also
// shared, keeps a tick from starting while another one runs.
//
// Plain C++. UI thread only (the class-wide counters are plain ints for
// that reason).
class CFftTickClock {
public:
    struct Due {
        bool decay = false;    // bars fall this tick
        bool peakFall = false; // peak markers fall first
    };

    // Counts one tick. When `decay` is due the busy flag is set, and the
    // caller must call Finish() once the bars have fallen.
    Due Advance(int decayTime, bool peakDecay);
    void Finish() { s_bTickBusy = 0; }

    // Starts the shared counters afresh (a new program run; tests).
    static void ResetShared();

private:
    static int s_nTickAccum;
    static int s_bTickBusy;
    int m_nPeakAccum = 0;
};
