#include "meters/correlation/CorEstimator.h"

#include <algorithm>
#include <cmath>

namespace {
// A negative sample counts as its bitwise complement, so -1 is silence and
// -32768 full scale.
inline int FoldedMagnitude(int sample) { return sample >= 0 ? sample : -1 - sample; }
}

CCorSums CCorEstimator::SumWindow(const std::int16_t* window, int frames)
{
    CCorSums sums;
    for (int frame = 0; frame < frames; ++frame) {
        const int left = window[2 * frame];
        const int right = window[2 * frame + 1];
        // Each product fits in 32 bits; the sums need 64.
        sums.lr += static_cast<std::int32_t>(left * right);
        sums.ll += static_cast<std::int32_t>(left * left);
        sums.rr += static_cast<std::int32_t>(right * right);
        sums.peakLeft = std::max(sums.peakLeft, FoldedMagnitude(left));
        sums.peakRight = std::max(sums.peakRight, FoldedMagnitude(right));
    }
    return sums;
}

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
