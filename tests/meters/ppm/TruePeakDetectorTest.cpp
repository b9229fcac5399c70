// The true-peak detector finds what lies between the samples.
#include "meters/ppm/TruePeakDetector.h"

#include "tests/common/Decibels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {


double TruePeakDb(const std::vector<float>& signal, int rate)
{
    CTruePeakDetector detector;
    detector.Init(rate);
    float peak = 0;
    for (std::size_t i = 0; i < signal.size(); i += 512) {
        detector.Process(signal.data() + i, static_cast<int>(std::min<std::size_t>(512, signal.size() - i)));
        peak = std::max(peak, detector.Read());
    }
    return Db(peak);
}

TEST(TruePeak, QuarterRateSineAt45DegreesReadsThreeDbAboveItsSamples)
{
    // Samples alternate +-0.5 in pairs (-6.02 dBFS); the sine through them
    // peaks at 0.707, -3.01 dBFS.
    std::vector<float> s(48000);
    for (std::size_t n = 0; n < s.size(); ++n)
        s[n] = static_cast<float>(std::sqrt(0.5) * std::sin(std::numbers::pi / 2 * static_cast<double>(n) + std::numbers::pi / 4));
    EXPECT_NEAR(Db(std::fabs(s[0])), -6.02, 0.01);
    const double tp = TruePeakDb(s, 48000);
    EXPECT_LE(tp, -3.0 + 0.2);
    EXPECT_GE(tp, -3.0 - 0.4);
}

TEST(TruePeak, ALowToneReadsItsAmplitudeAtBothRates)
{
    for (int rate : { 44100, 48000 }) {
        std::vector<float> s(static_cast<std::size_t>(rate / 2));
        for (std::size_t n = 0; n < s.size(); ++n) // 997 Hz, so the crests fall between samples
            s[n] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 997.0 * static_cast<double>(n) / rate + 0.3));
        EXPECT_NEAR(TruePeakDb(s, rate), -6.02, 0.1) << rate;
    }
}

TEST(TruePeak, SixteenBitChannelsAreReadApartAndResetForgets)
{
    std::vector<std::int16_t> stereo(2 * 512, 0);
    stereo[2 * 100 + 1] = 16384; // one right-hand sample at -6 dBFS
    CTruePeakDetector left, right;
    left.Init(48000);
    right.Init(48000);
    left.Process(stereo.data(), 512, 0);
    right.Process(stereo.data(), 512, 1);
    EXPECT_EQ(left.Read(), 0.0f);
    // An impulse interpolates to at most the filter's largest tap.
    EXPECT_NEAR(right.Read(), 0.5f * 0.97216797f, 1e-6);
    right.Process(stereo.data(), 512, 1);
    right.Reset();
    EXPECT_EQ(right.Read(), 0.0f);
}

} // namespace
