#pragma once
// A quasi-peak programme-meter integrator for one channel: the rectified
// signal charges two stages at their own rates (each only while the signal
// is above it), both return at a fixed number of dB per second, and the
// reading is their mean. A tone burst therefore reads below the steady
// tone by an amount set by its length, and a cut tone falls at a steady
// rate in dB, per second of real time at any sample rate.
//
// Usage: Configure(params) and Init(rate) when the device opens; Process()
// every block; Read() once per block gives the block's highest output and
// starts the next block's maximum. Reset() clears the stages (silence).
// Levels are linear: 1.0 is the crest of a full-scale sine.
//
// Threads: one thread at a time (the capture thread in the live program).
// Process and Read never allocate or block.
#include "meters/ppm/PpmBallistics.h"

#include <cstdint>

class CQuasiPeakIntegrator {
public:
    CQuasiPeakIntegrator() = default;
    explicit CQuasiPeakIntegrator(const SQuasiPeakParams& params) { Configure(params); }

    // Takes new constants; Init must follow before the next Process.
    void Configure(const SQuasiPeakParams& params) { m_params = params; }
    // Computes the per-sample coefficients for `rate` and clears the state.
    void Init(double rate);
    void Reset();

    // `n` samples, `stride` apart (2 for one channel of a stereo buffer).
    void Process(const float* samples, int n, int stride = 1);
    // One channel (0 left, 1 right) of `frames` 16-bit stereo frames.
    void Process(const std::int16_t* stereo, int frames, int channel);

    // The highest output since the last Read; starts a new maximum.
    float Read();
    // The output now, without starting a new maximum.
    float Current() const { return m_fGain * (m_fFast + m_fSlow); }

private:
    void FlushSilence();
    void Step(float rectified)
    {
        m_fFast *= m_fReturn;
        m_fSlow *= m_fReturn;
        if (rectified > m_fFast)
            m_fFast += m_fFastCoeff * (rectified - m_fFast);
        if (rectified > m_fSlow)
            m_fSlow += m_fSlowCoeff * (rectified - m_fSlow);
        const float out = m_fFast + m_fSlow;
        if (out > m_fMax)
            m_fMax = out;
    }

    SQuasiPeakParams m_params;
    float m_fFastCoeff = 0;
    float m_fSlowCoeff = 0;
    float m_fReturn = 1;  // per-sample factor of the dB-per-second return
    float m_fGain = 0.5f; // the mean of the stages, times the steady gain
    float m_fFast = 0;
    float m_fSlow = 0;
    float m_fMax = 0;     // of m_fFast + m_fSlow, before the gain
};
