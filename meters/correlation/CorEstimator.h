#pragma once
// The correlation estimator: turns one window of 1024 stereo frames into the
// raw correlation coefficient of the two channels and its smoothed value.
//
// Threads: Estimate() runs on the capture thread only, for every window the
// hub forms, whether the meter is on or off. It allocates nothing, takes no
// lock and touches no widget. The pure helpers (SumWindow, RawCorrelation,
// Smooth) may be called on any thread.
#include "audio/MeterSinks.h"

#include <cstdint>

// Exact sums of one window and the folded peak magnitude of each channel.
struct CCorSums {
    std::int64_t lr = 0;
    std::int64_t ll = 0;
    std::int64_t rr = 0;
    int peakLeft = 0;
    int peakRight = 0;
};

class CCorEstimator : public ICorrelationEstimator {
public:
    static constexpr int kFrames = 1024;
    // Smoothing constants, single precision; 2 * k1 equals 1 + k2 exactly,
    // so the filter passes DC at unity gain. The pole at 0.80558431 makes a
    // time constant of about 4.6 windows.
    static constexpr float kK1 = 0.097207844f;
    static constexpr float kK2 = -0.80558431f;

    CCorReading Estimate(const std::int16_t* window) override;

    // The smoothing state to carry between windows: the program's (one per
    // running program or analysed file); null gives the estimator its own.
    // Set before capture starts.
    void SetSmoothingState(float* state) { m_pState = state ? state : &m_fOwnState; }

    // One pass over `frames` interleaved frames, left first.
    static CCorSums SumWindow(const std::int16_t* window, int frames = kFrames);
    // The correlation coefficient, limited to -1..+1. With no energy in a
    // channel: +1 when both channels are digitally silent, else 0.
    static double RawCorrelation(const CCorSums& sums);
    // One step of the first-order low-pass; `state` carries between windows.
    static float Smooth(double raw, float& state);

    // The filter state this estimator carries. Only the capture thread
    // touches it; reading it from another thread while capture runs is a race.
    float State() const { return *m_pState; }

private:
    float m_fOwnState = 0.0f;
    float* m_pState = &m_fOwnState;
};
