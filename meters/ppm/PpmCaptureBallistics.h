#pragma once
// The PPM's per-sample ballistics on the capture thread: for the quasi-peak
// modes one integrator per channel, for "True Peak" one oversampling
// detector per channel. Each block yields the block's highest output per
// channel, which the UI side turns into the bar's reading.
//
// The UI thread chooses the mode (SetMode); the choice travels in one
// atomic word together with a generation count, so the capture thread sees
// a whole request at once and notices every new choice (even of the same
// mode again): it then sets its integrators up afresh, from silence. The
// integrators themselves are touched by the capture thread only.
//
// Threads: SetMode and Mode on the UI thread; Measure on the capture thread
// (never allocates or blocks).
#include "meters/ppm/PpmBallistics.h"
#include "meters/ppm/QuasiPeakIntegrator.h"
#include "meters/ppm/TruePeakDetector.h"

#include <array>
#include <atomic>
#include <cstdint>

class CPpmCaptureBallistics {
public:
    static constexpr int kChannels = 2;

    // UI thread.
    void SetMode(EPpmBallistics mode);
    EPpmBallistics Mode() const;

    // Capture thread: one block of `frames` interleaved 16-bit stereo frames
    // at `rate`. False in the block-peak mode (nothing to measure here);
    // otherwise levels[0..1] get the block's readings (linear, 1.0 = full
    // scale) and `mode` the mode they were measured in.
    bool Measure(const std::int16_t* block, int frames, int rate, float* levels, int& mode);

private:
    void SetUp(EPpmBallistics mode, int rate);

    // Generation in the high bits, the mode in the low ones.
    static constexpr unsigned kModeBits = 4;
    static constexpr unsigned kModeMask = (1u << kModeBits) - 1;
    std::atomic<unsigned> m_request { 0 };

    // Capture thread only.
    unsigned m_seenRequest = 0;
    int m_nRate = 0;
    EPpmBallistics m_active = EPpmBallistics::DigitalPeak;
    std::array<CQuasiPeakIntegrator, kChannels> m_quasiPeak;
    std::array<CTruePeakDetector, kChannels> m_truePeak;
};
