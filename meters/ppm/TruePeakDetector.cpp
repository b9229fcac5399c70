#include "meters/ppm/TruePeakDetector.h"
#include "meters/ppm/PpmBallistics.h"

#include <algorithm>

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

constexpr int kPhases = CTruePeakDetector::kPhases;
constexpr int kTaps = CTruePeakDetector::kTaps;

// Eight consecutive outputs of one phase in one vector (GCC and Clang
// vector extension): eight 32-bit lanes fill an AVX register, or two SSE
// registers in the portable kernel.
constexpr int kLanes = 8;
typedef float Lanes __attribute__((vector_size(kLanes * sizeof(float))));
// The same, read from any float position of the buffer.
typedef float UnalignedLanes __attribute__((vector_size(kLanes * sizeof(float)), aligned(alignof(float))));

// Eight samples from `p` on (a reference, so no vector crosses a call).
inline const UnalignedLanes& LoadLanes(const float* p) { return *reinterpret_cast<const UnalignedLanes*>(p); }

// One output: the taps against window[0 .. kTaps) in three interleaved
// partial sums, so the additions need not wait on each other. The vector
// loop below does exactly these operations per lane, in this order, so the
// tail and both kernels round alike.
inline float Output(const std::array<float, kTaps>& c, const float* window)
{
    float a = c[0] * window[0];
    float b = c[1] * window[1];
    float d = c[2] * window[2];
    for (int k = 3; k < kTaps; k += 3) {
        a += c[static_cast<std::size_t>(k)] * window[k];
        b += c[static_cast<std::size_t>(k + 1)] * window[k + 1];
        d += c[static_cast<std::size_t>(k + 2)] * window[k + 2];
    }
    return a + b + d;
}

// The kernel's body, compiled once per instruction set by the wrappers
// below.
__attribute__((always_inline)) inline void FilterBody(const float* buffer, int n, const CTruePeakDetector::Taps& taps,
                                                      float* highest)
{
    Lanes top[kPhases];
    for (int p = 0; p < kPhases; ++p)
        top[p] = Lanes {} + highest[p];
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        const float* window = buffer + i;
        for (int p = 0; p < kPhases; ++p) {
            const std::array<float, kTaps>& c = taps[static_cast<std::size_t>(p)];
            Lanes a = c[0] * LoadLanes(window);
            Lanes b = c[1] * LoadLanes(window + 1);
            Lanes d = c[2] * LoadLanes(window + 2);
            for (int k = 3; k < kTaps; k += 3) {
                a += c[static_cast<std::size_t>(k)] * LoadLanes(window + k);
                b += c[static_cast<std::size_t>(k + 1)] * LoadLanes(window + k + 1);
                d += c[static_cast<std::size_t>(k + 2)] * LoadLanes(window + k + 2);
            }
            const Lanes y = a + b + d;
            const Lanes magnitude = y < 0 ? -y : y;
            top[p] = magnitude > top[p] ? magnitude : top[p];
        }
    }
    for (int p = 0; p < kPhases; ++p) {
        for (int lane = 0; lane < kLanes; ++lane)
            highest[p] = top[p][lane] > highest[p] ? top[p][lane] : highest[p];
    }
    for (; i < n; ++i) {
        for (int p = 0; p < kPhases; ++p) {
            const float y = Output(taps[static_cast<std::size_t>(p)], buffer + i);
            const float magnitude = y < 0 ? -y : y;
            highest[p] = magnitude > highest[p] ? magnitude : highest[p];
        }
    }
}

void FilterPortable(const float* buffer, int n, const CTruePeakDetector::Taps& taps, float* highest)
{
    FilterBody(buffer, n, taps, highest);
}

#if defined(__x86_64__) || defined(__i386__)
// AVX without FMA on purpose: a fused multiply-add rounds once where the
// portable kernel rounds twice, and the readings must not depend on the
// processor. (An AVX-512 kernel brings FMA with it and was no faster.)
__attribute__((target("avx"))) void FilterAvx(const float* buffer, int n, const CTruePeakDetector::Taps& taps,
                                              float* highest)
{
    FilterBody(buffer, n, taps, highest);
}

CTruePeakDetector::Kernel WidestKernel()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") ? FilterAvx : FilterPortable;
}
#else
CTruePeakDetector::Kernel WidestKernel() { return FilterPortable; }
#endif
}

void CTruePeakDetector::Init(double /*rate*/, EKernel kernel)
{
    for (int p = 0; p < kPhases; ++p)
        for (int k = 0; k < kTaps; ++k)
            m_taps[static_cast<std::size_t>(p)][static_cast<std::size_t>(kTaps - 1 - k)] = kFilter[p][k];
    m_kernel = kernel == EKernel::Widest ? WidestKernel() : FilterPortable;
    Reset();
}

void CTruePeakDetector::Reset()
{
    m_history.fill(0.0f);
    m_max.fill(0.0f);
}

void CTruePeakDetector::FilterChunk(float* buffer, int n)
{
    std::copy(m_history.begin(), m_history.end(), buffer);
    (m_kernel ? m_kernel : FilterPortable)(buffer, n, m_taps, m_max.data());
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
    for (float phase : m_max)
        peak = phase > peak ? phase : peak;
    m_max.fill(0.0f);
    return peak;
}
