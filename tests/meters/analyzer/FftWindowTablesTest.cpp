#include "meters/analyzer/FftWindowTables.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
const CFftWindowTables::Table& Table(int type) { return CFftWindowTables::Instance().Get(type); }
}

TEST(FftWindowTables, RectangularIsItsScaleEverywhere)
{
    for (double w : Table(fft::kWindowRectangular))
        ASSERT_DOUBLE_EQ(w, 0.0006905550400699);
}

TEST(FftWindowTables, CosineWindowsArePeriodicWithTenDecimalPi)
{
    // w(0) of the periodic Hanning is exactly 0; the centre is 1 within the
    // error of pi cut to ten decimals.
    EXPECT_EQ(Table(fft::kWindowHanning)[0], 0.0);
    EXPECT_NEAR(Table(fft::kWindowHanning)[1024] / 0.001379473294105, 1.0, 1e-15);
    EXPECT_NEAR(Table(fft::kWindowBlackman)[0] / 0.001639507082733, 0.0, 1e-15);
    EXPECT_NEAR(Table(fft::kWindowBlackman)[1024] / 0.001639507082733, 1.0, 1e-15);
    EXPECT_NEAR(Table(fft::kWindowHamming)[0] / 0.001229456867501, 0.08, 1e-15);
    // With the cut pi the last value is not the mirror of the first one.
    const double c1 = 2 * 3.1415926535 / 2048;
    EXPECT_DOUBLE_EQ(Table(fft::kWindowHanning)[2047], (0.5 - 0.5 * std::cos(2047 * c1)) * 0.001379473294105);
}

TEST(FftWindowTables, TriangularParabolicAndGaussianShapes)
{
    // Parzen and Welch run over 2049 steps, so the ends are not zero.
    EXPECT_NEAR(Table(fft::kWindowParzen)[0] / (0.001379473294105 / 2049.0), 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(Table(fft::kWindowParzen)[1024], 0.001379473294105);
    EXPECT_DOUBLE_EQ(Table(fft::kWindowWelch)[0], (1.0 - (2048.0 / 2049) * (2048.0 / 2049)) * 0.001034459035178);
    EXPECT_DOUBLE_EQ(Table(fft::kWindowWelch)[1024], 0.001034459035178);
    // Standard deviation 512 samples: one sigma from the centre is exp(-1/2).
    EXPECT_DOUBLE_EQ(Table(fft::kWindowGaussian)[1024], 0.001160682127689);
    EXPECT_DOUBLE_EQ(Table(fft::kWindowGaussian)[512], std::exp(-0.5) * 0.001160682127689);
    EXPECT_DOUBLE_EQ(Table(fft::kWindowGaussian)[1536], std::exp(-0.5) * 0.001160682127689);
}

TEST(FftWindowTables, UnknownTypeSelectsBlackman)
{
    EXPECT_EQ(&Table(7), &Table(fft::kWindowBlackman));
    EXPECT_EQ(&Table(-1), &Table(fft::kWindowBlackman));
    EXPECT_EQ(CFftWindowTables::Valid(6), 6);
    EXPECT_EQ(CFftWindowTables::Valid(99), fft::kWindowBlackman);
}
