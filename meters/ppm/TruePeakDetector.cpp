#include "meters/ppm/TruePeakDetector.h"
#include "meters/ppm/PpmBallistics.h"

#include <algorithm>
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
}

void CTruePeakDetector::Init(double /*rate*/)
{
    for (int p = 0; p < kPhases; ++p)
        for (int k = 0; k < kTaps; ++k)
            m_coeffs[static_cast<std::size_t>(kTaps - 1 - k)][p] = kFilter[p][k];
    Reset();
}

void CTruePeakDetector::Reset()
{
    m_history.fill(0.0f);
    m_max = Lanes {};
}

void CTruePeakDetector::FilterChunk(float* buffer, int n)
{
    std::copy(m_history.begin(), m_history.end(), buffer);
    // Locals, so the taps and the maxima stay in registers for the loop.
    const std::array<Lanes, kTaps> c = m_coeffs;
    Lanes highest = m_max;
    for (int i = 0; i < n; ++i) {
        const float* window = buffer + i; // kTaps samples, oldest first
        // Partial sums, so the additions need not wait on each other.
        Lanes a {}, b {}, d {};
        for (int k = 0; k < kTaps; k += 3) {
            a += c[static_cast<std::size_t>(k)] * window[k];
            b += c[static_cast<std::size_t>(k + 1)] * window[k + 1];
            d += c[static_cast<std::size_t>(k + 2)] * window[k + 2];
        }
        const Lanes y = a + b + d;
        const Lanes magnitude = y < 0 ? -y : y;
        highest = magnitude > highest ? magnitude : highest;
    }
    m_max = highest;
    std::copy(buffer + n, buffer + n + kHistory, m_history.begin());
}

void CTruePeakDetector::Process(const float* samples, int n, int stride)
{
    float buffer[kHistory + kChunk];
    for (int done = 0; done < n;) {
        const int count = std::min(kChunk, n - done);
        for (int i = 0; i < count; ++i)
            buffer[kHistory + i] = samples[static_cast<std::ptrdiff_t>(done + i) * stride];
        FilterChunk(buffer, count);
        done += count;
    }
}

void CTruePeakDetector::Process(const std::int16_t* stereo, int frames, int channel)
{
    float buffer[kHistory + kChunk];
    for (int done = 0; done < frames;) {
        const int count = std::min(kChunk, frames - done);
        for (int i = 0; i < count; ++i)
            buffer[kHistory + i] = static_cast<float>(stereo[2 * (done + i) + channel]) * kInt16FullScale;
        FilterChunk(buffer, count);
        done += count;
    }
}

float CTruePeakDetector::Read()
{
    float peak = 0;
    for (int p = 0; p < kPhases; ++p)
        peak = m_max[p] > peak ? m_max[p] : peak;
    m_max = Lanes {};
    return peak;
}
