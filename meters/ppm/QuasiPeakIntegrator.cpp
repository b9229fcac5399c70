#include "meters/ppm/QuasiPeakIntegrator.h"

#include <cmath>

namespace {
// Far below the meter's scale: stages that fell under it are set to zero,
// so a long silence never leaves them denormal (slow on every sample).
constexpr float kSilence = 1e-9f;
}

void CQuasiPeakIntegrator::Init(double rate)
{
    // Exact one-pole coefficients, so the rise is the same in time at any
    // rate (a plain w / rate drifts at low rates).
    m_fFastCoeff = static_cast<float>(1.0 - std::exp(-m_params.fastPerSecond / rate));
    m_fSlowCoeff = static_cast<float>(1.0 - std::exp(-m_params.slowPerSecond / rate));
    m_fReturn = static_cast<float>(std::pow(10.0, -m_params.returnDbPerSecond / (20.0 * rate)));
    m_fGain = static_cast<float>(0.5 * m_params.steadyGain);
    Reset();
}

void CQuasiPeakIntegrator::Reset()
{
    m_fFast = 0;
    m_fSlow = 0;
    m_fMax = 0;
}

void CQuasiPeakIntegrator::Process(const float* samples, int n, int stride)
{
    for (int i = 0; i < n; ++i)
        Step(std::fabs(samples[static_cast<std::ptrdiff_t>(i) * stride]));
    FlushSilence();
}

void CQuasiPeakIntegrator::Process(const std::int16_t* stereo, int frames, int channel)
{
    for (int i = 0; i < frames; ++i)
        Step(std::fabs(static_cast<float>(stereo[2 * i + channel])) * kInt16FullScale);
    FlushSilence();
}

void CQuasiPeakIntegrator::FlushSilence()
{
    if (m_fFast < kSilence)
        m_fFast = 0;
    if (m_fSlow < kSilence)
        m_fSlow = 0;
}

float CQuasiPeakIntegrator::Read()
{
    const float reading = m_fGain * m_fMax;
    m_fMax = 0;
    return reading;
}
