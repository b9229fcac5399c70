#include "meters/analyzer/FftWindowTables.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
const CFftWindowTables::Table& Table(int type) { return CFftWindowTables::Instance().Get(type); }
}

// Each window carries its scale (the value at its centre); the cosine windows
// are periodic over 2048 points, Parzen and Welch run over 2049 steps, the
// Gaussian has a standard deviation of 512 samples.
TEST(FftWindowTables, ShapesAtTheirEndsCentresAndOneSigma)
{
    const struct {
        int type, index;
        double value;
    } rows[] = {
        { fft::kWindowRectangular, 0, 0.0006905550400699 }, { fft::kWindowRectangular, 2047, 0.0006905550400699 },
        { fft::kWindowHanning, 0, 0.0 }, { fft::kWindowHanning, 1024, 0.001379473294105 },
        { fft::kWindowBlackman, 0, 0.0 }, { fft::kWindowBlackman, 1024, 0.001639507082733 },
        { fft::kWindowHamming, 0, 0.08 * 0.001229456867501 }, { fft::kWindowHamming, 1024, 0.001229456867501 },
        { fft::kWindowParzen, 0, 0.001379473294105 / 2049.0 }, { fft::kWindowParzen, 1024, 0.001379473294105 },
        { fft::kWindowWelch, 1024, 0.001034459035178 },
        { fft::kWindowGaussian, 1024, 0.001160682127689 },
        { fft::kWindowGaussian, 512, std::exp(-0.5) * 0.001160682127689 },
        { fft::kWindowGaussian, 1536, std::exp(-0.5) * 0.001160682127689 },
        { fft::kWindowWelch, 0, 0.001034459035178 * (4097.0 / 2049 / 2049) }, // not zero at the ends
    };
    for (const auto& r : rows)
        EXPECT_NEAR(Table(r.type)[static_cast<std::size_t>(r.index)], r.value, 1e-15) << r.type << " at " << r.index;
}
