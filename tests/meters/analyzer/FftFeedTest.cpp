#include "meters/analyzer/FftFeed.h"

#include "FftSignals.h"
#include "meters/analyzer/FftLevelTable.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>

TEST(FftFeedMono, HalvingsTruncateTowardZero)
{
    constexpr int kSum = fft::kInputLeftPlusRight, kDiff = fft::kInputLeftMinusRight;
    const struct { int left, right, mode, mono; } rows[] = { { -32768, -32768, kSum, -32768 }, { 1, 0, kSum, 0 },
        { -1, 0, kSum, 0 }, { -3, 0, kSum, -1 }, { 32767, -32768, kDiff, 32767 }, { -32768, 32767, kDiff, -32767 },
        { 0, 3, kDiff, -1 }, { 5, 7, fft::kInputLeft, 5 }, { 5, 7, fft::kInputRight, 7 } };
    for (const auto& r : rows)
        EXPECT_EQ(CFftFeed::Mono(r.left, r.right, r.mode), r.mono) << r.left << " " << r.right << " mode " << r.mode;
}

// Position 127 covers bins 945..1023.
TEST(FftFeed, FullScaleSineAtBinCentreReachesZeroDbWithRectangularWindow)
{
    CFftCaptureState state;
    state.SetOn(1);
    state.SetWindowType(fft::kWindowRectangular);
    auto feed = std::make_unique<CFftFeed>(state);
    std::array<std::uint32_t, 128> bands {};
    const auto tone = fftsig::BinSine(1000, 32767, 2);
    EXPECT_FALSE(feed->Feed(fftsig::Window(tone, 0), bands.data())) << "bars are due every second window";
    ASSERT_TRUE(feed->Feed(fftsig::Window(tone, 1), bands.data()));
    const CFftLevelTable levels;
    EXPECT_EQ(std::pair(levels.Level(bands[127]), levels.Level(bands[120]) < 150), std::pair(360u, true));
}
