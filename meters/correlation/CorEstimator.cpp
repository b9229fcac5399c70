#include "meters/correlation/CorEstimator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// A negative sample counts as its bitwise complement, so -1 is silence and
// -32768 full scale.
inline int FoldedMagnitude(int sample) { return sample >= 0 ? sample : -1 - sample; }

// Four frames at a time (GCC and Clang vector extension): the 16-bit pairs
// split into left and right, 32-bit products widened into 64-bit sums, and
// the folded magnitudes kept per lane. Integer sums are exact in any order,
// so every build reads the same. Cloned for AVX2, where the widening and
// the four 64-bit sums take one register each; the default clone runs on
// any x86-64.
typedef std::int16_t Frames4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));
typedef std::int64_t Sum4 __attribute__((vector_size(32)));

// The clones are chosen by a resolver the loader runs while it relocates,
// before a sanitizer's runtime is up, and an instrumented resolver crashes
// there: sanitizer builds keep the one default version.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__) \
    && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
CCorSums SumFrames(const std::int16_t* window, int frames)
{
    constexpr int kStep = 4;
    Sum4 lr {}, ll {}, rr {};
    Frames4 top {};
    int frame = 0;
    for (; frame + kStep <= frames; frame += kStep) {
        Frames4 x;
        std::memcpy(&x, window + 2 * frame, sizeof x);
        const Frames4 folded = x ^ (x >> 15);
        top = folded > top ? folded : top;
        const Int4 left = __builtin_convertvector(__builtin_shufflevector(x, x, 0, 2, 4, 6), Int4);
        const Int4 right = __builtin_convertvector(__builtin_shufflevector(x, x, 1, 3, 5, 7), Int4);
        // Each product fits in 32 bits; the sums need 64.
        lr += __builtin_convertvector(left * right, Sum4);
        ll += __builtin_convertvector(left * left, Sum4);
        rr += __builtin_convertvector(right * right, Sum4);
    }
    CCorSums sums;
    for (int lane = 0; lane < kStep; ++lane) {
        sums.lr += lr[lane];
        sums.ll += ll[lane];
        sums.rr += rr[lane];
        sums.peakLeft = std::max(sums.peakLeft, static_cast<int>(top[2 * lane]));
        sums.peakRight = std::max(sums.peakRight, static_cast<int>(top[2 * lane + 1]));
    }
    for (; frame < frames; ++frame) {
        const int left = window[2 * frame];
        const int right = window[2 * frame + 1];
        sums.lr += static_cast<std::int32_t>(left * right);
        sums.ll += static_cast<std::int32_t>(left * left);
        sums.rr += static_cast<std::int32_t>(right * right);
        sums.peakLeft = std::max(sums.peakLeft, FoldedMagnitude(left));
        sums.peakRight = std::max(sums.peakRight, FoldedMagnitude(right));
    }
    return sums;
}
}

CCorSums CCorEstimator::SumWindow(const std::int16_t* window, int frames) { return SumFrames(window, frames); }

double CCorEstimator::RawCorrelation(const CCorSums& sums)
{
    // The sums are rounded to single precision before the division; the
    // product and the root are taken in double.
    const float lr = static_cast<float>(sums.lr);
    const float ll = static_cast<float>(sums.ll);
    const float rr = static_cast<float>(sums.rr);
    if (ll == 0.0f || rr == 0.0f)
        return sums.peakLeft == 0 && sums.peakRight == 0 ? 1.0 : 0.0;
    const double r = static_cast<double>(lr) / std::pow(static_cast<double>(ll) * static_cast<double>(rr), 0.5);
    // Rounding the three sums separately can carry nearly identical or
    // nearly opposite channels just past +-1, where the phase angle has no
    // meaning and the smoothed value would leave the scale.
    return std::clamp(r, -1.0, 1.0);
}

float CCorEstimator::Smooth(double raw, float& state)
{
    const float y = static_cast<float>(kK1 * raw + state);
    state = static_cast<float>(kK1 * raw - kK2 * y);
    return y;
}

CCorReading CCorEstimator::Estimate(const std::int16_t* window)
{
    const double raw = RawCorrelation(SumWindow(window));
    const float smoothed = Smooth(raw, *m_pState);
    return CCorReading { smoothed, raw };
}
