#include "meters/ppm/TruePeakDetector.h"

#include <cmath>

namespace {
// The published interpolation filter, phase by phase, tap 0 applied to the
// newest sample.
constexpr float kFilter[CTruePeakDetector::kPhases][CTruePeakDetector::kTaps] = {
    { 0.0017089843750f, 0.0109863281250f, -0.0196533203125f, 0.0332031250000f, -0.0594482421875f, 0.1373291015625f,
      0.9721679687500f, -0.1022949218750f, 0.0476074218750f, -0.0266113281250f, 0.0148925781250f, -0.0083007812500f },
    { -0.0291748046875f, 0.0292968750000f, -0.0517578125000f, 0.0891113281250f, -0.1665039062500f, 0.4650878906250f,
      0.7797851562500f, -0.2003173828125f, 0.1015625000000f, -0.0582275390625f, 0.0330810546875f, -0.0189208984375f },
    { -0.0189208984375f, 0.0330810546875f, -0.0582275390625f, 0.1015625000000f, -0.2003173828125f, 0.7797851562500f,
      0.4650878906250f, -0.1665039062500f, 0.0891113281250f, -0.0517578125000f, 0.0292968750000f, -0.0291748046875f },
    { -0.0083007812500f, 0.0148925781250f, -0.0266113281250f, 0.0476074218750f, -0.1022949218750f, 0.9721679687500f,
      0.1373291015625f, -0.0594482421875f, 0.0332031250000f, -0.0196533203125f, 0.0109863281250f, 0.0017089843750f },
};
constexpr float kInt16FullScale = 1.0f / 32768.0f;
}

void CTruePeakDetector::Init(double /*rate*/)
{
    for (int p = 0; p < kPhases; ++p)
        for (int k = 0; k < kTaps; ++k)
            m_coeffs[static_cast<std::size_t>(p)][static_cast<std::size_t>(kTaps - 1 - k)] = kFilter[p][k];
    Reset();
}

void CTruePeakDetector::Reset()
{
    m_history.fill(0.0f);
    m_nPos = 0;
    m_fMax = 0;
}

void CTruePeakDetector::Push(float x)
{
    m_history[static_cast<std::size_t>(m_nPos)] = x;
    m_history[static_cast<std::size_t>(m_nPos + kTaps)] = x;
    m_nPos = m_nPos + 1 == kTaps ? 0 : m_nPos + 1;
    // The window m_history[m_nPos .. m_nPos + kTaps) runs oldest to newest.
    const float* window = m_history.data() + m_nPos;
    float peak = m_fMax;
    for (const auto& phase : m_coeffs) {
        float y = 0;
        for (int k = 0; k < kTaps; ++k)
            y += phase[static_cast<std::size_t>(k)] * window[k];
        peak = std::fmax(peak, std::fabs(y));
    }
    m_fMax = peak;
}

void CTruePeakDetector::Process(const float* samples, int n, int stride)
{
    for (int i = 0; i < n; ++i)
        Push(samples[static_cast<std::ptrdiff_t>(i) * stride]);
}

void CTruePeakDetector::Process(const std::int16_t* stereo, int frames, int channel)
{
    for (int i = 0; i < frames; ++i)
        Push(static_cast<float>(stereo[2 * i + channel]) * kInt16FullScale);
}

float CTruePeakDetector::Read()
{
    const float peak = m_fMax;
    m_fMax = 0;
    return peak;
}
