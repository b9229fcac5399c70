#include "meters/analyzer/FftFeed.h"

#include "FftSignals.h"
#include "meters/analyzer/FftLevelTable.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>

namespace {
class FftFeedTest : public ::testing::Test {
protected:
    FftFeedTest() { state.SetOn(1); }

    // Feeds windows [first, first + count) and returns the last bars handed off.
    bool FeedAll(const std::vector<std::int16_t>& s, int first, int count)
    {
        bool any = false;
        for (int w = first; w < first + count; ++w)
            any |= feed->Feed(fftsig::Window(s, w), bands.data());
        return any;
    }
    unsigned LevelOf(int bar) const { return levels.Level(bands[bar]); }

    CFftCaptureState state;
    std::unique_ptr<CFftFeed> feed = std::make_unique<CFftFeed>(state);
    std::array<std::uint32_t, 128> bands {};
    CFftLevelTable levels;
};
}

TEST(FftFeedMono, HalvingsTruncateTowardZero)
{
    constexpr int kSum = fft::kInputLeftPlusRight, kDiff = fft::kInputLeftMinusRight;
    const struct {
        int left, right, mode, mono;
    } rows[] = { { -32768, -32768, kSum, -32768 }, { 1, 0, kSum, 0 }, { -1, 0, kSum, 0 }, { -3, 0, kSum, -1 },
        { 32767, -32768, kDiff, 32767 }, { -32768, 32767, kDiff, -32767 }, { 0, 3, kDiff, -1 },
        { 5, 7, fft::kInputLeft, 5 }, { 5, 7, fft::kInputRight, 7 } };
    for (const auto& r : rows)
        EXPECT_EQ(CFftFeed::Mono(r.left, r.right, r.mode), r.mono) << r.left << " " << r.right << " mode " << r.mode;
}

TEST_F(FftFeedTest, BarsAreDueEverySecondWindowOnly)
{
    const auto silence = fftsig::Sine(0, 44100, 0, 4);
    bands.fill(99);
    const bool due[] = { false, true, false, true };
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(feed->Feed(fftsig::Window(silence, w), bands.data()), due[w]) << "window " << w;
    EXPECT_EQ(bands[0], 0u);
}

TEST_F(FftFeedTest, FullScaleSineAtBinCentreReachesZeroDbWithRectangularWindow)
{
    state.SetWindowType(fft::kWindowRectangular);
    const auto tone = fftsig::BinSine(1000, 32767, 2);
    ASSERT_TRUE(FeedAll(tone, 0, 2));
    EXPECT_EQ(std::pair(LevelOf(127), LevelOf(120) < 150), std::pair(360u, true)); // 127 covers bins 945..1023
}

TEST_F(FftFeedTest, FirstTransformAfterSwitchingOnPairsTheLastProcessedWindow)
{
    state.SetWindowType(fft::kWindowRectangular);
    const auto silence = fftsig::Sine(0, 44100, 0, 1);
    const auto tone = fftsig::BinSine(100, 32767, 1);
    feed->Feed(fftsig::Window(silence, 0), bands.data());
    ASSERT_TRUE(feed->Feed(fftsig::Window(tone, 0), bands.data())); // processed last
    state.SetOn(0);
    feed->Feed(fftsig::Window(silence, 0), bands.data());
    feed->Feed(fftsig::Window(silence, 0), bands.data());
    state.SetOn(1);
    // Bars take the larger of the two newest spectra, [tone, silence] and [silence, silence]:
    // the tone still shows in position 87 (bins 100..104), half a frame of full scale at -6 dB.
    EXPECT_FALSE(feed->Feed(fftsig::Window(silence, 0), bands.data()));
    ASSERT_TRUE(feed->Feed(fftsig::Window(silence, 0), bands.data()));
    EXPECT_NEAR(static_cast<int>(LevelOf(87)), 329, 1);
    feed->Feed(fftsig::Window(silence, 0), bands.data());
    ASSERT_TRUE(feed->Feed(fftsig::Window(silence, 0), bands.data()));
    EXPECT_EQ(LevelOf(87), 0u) << "an older pair no longer counts";
}
