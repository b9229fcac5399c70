#include "meters/loudness/LoudnessFeed.h"
#include "meters/loudness/LoudnessModel.h"
#include "tests/meters/loudness/ToneSequence.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cmath>
#include <vector>

namespace {

constexpr unsigned kRate = 48000;

std::vector<std::int16_t> ToneBlocks(double dbfs, double seconds)
{
    std::vector<std::int16_t> all;
    CToneSequence(kRate, { { dbfs, seconds } }).Feed<std::int16_t>([&](const std::int16_t* b, std::size_t n) { all.insert(all.end(), b, b + 2 * n); });
    return all;
}
// A feed opened at 48 kHz and switched on.
struct COnFeed : CLoudnessFeed {
    COnFeed() { Open(kRate); SetOn(true); }
};

void FeedBlocks(CLoudnessFeed& feed, const std::vector<std::int16_t>& samples, CLoudnessSnapshot& s)
{
    constexpr std::size_t kBlock = 2 * CToneSequence::kBlockFrames;
    for (std::size_t at = 0; at + kBlock <= samples.size(); at += kBlock)
        ASSERT_TRUE(feed.ProcessBlock(samples.data() + at, CToneSequence::kBlockFrames, s));
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

TEST(LoudnessFeed, MeasuresOnlyWhileOnAndSwitchingOnAgainStartsAfresh)
{
    const std::vector<std::int16_t> tone = ToneBlocks(-23.0, 1.0);
    CLoudnessFeed feed;
    ASSERT_TRUE(feed.Open(kRate));
    CLoudnessSnapshot s;
    EXPECT_FALSE(feed.ProcessBlock(tone.data(), CToneSequence::kBlockFrames, s));
    feed.SetOn(true);
    EXPECT_TRUE(feed.IsOn());
    FeedBlocks(feed, tone, s);
    ASSERT_TRUE(s.Has(CLoudnessSnapshot::kMomentary));
    EXPECT_NEAR(s.momentary, -23.0, 0.1);
    EXPECT_FALSE(s.Has(CLoudnessSnapshot::kShortTerm)) << "no 3 s window complete yet";
    const std::uint32_t first = s.resetCount;
    feed.SetOn(false);
    EXPECT_FALSE(feed.ProcessBlock(tone.data(), CToneSequence::kBlockFrames, s));
    feed.SetOn(true);
    feed.ProcessBlock(tone.data(), CToneSequence::kBlockFrames, s);
    EXPECT_EQ(s.resetCount, first + 1);
}

TEST(LoudnessFeed, ResetStartsTheMeasurementAgain)
{
    const std::vector<std::int16_t> loud = ToneBlocks(-10.0, 2.0);
    const std::vector<std::int16_t> quiet = ToneBlocks(-30.0, 0.1);
    COnFeed feed;
    CLoudnessSnapshot s;
    FeedBlocks(feed, loud, s);
    ASSERT_TRUE(s.Has(CLoudnessSnapshot::kIntegrated));
    const std::uint32_t before = s.resetCount;

    feed.RequestReset();
    feed.ProcessBlock(quiet.data(), CToneSequence::kBlockFrames, s);
    EXPECT_EQ(std::tuple(s.resetCount, s.Has(CLoudnessSnapshot::kIntegrated), s.Has(CLoudnessSnapshot::kMaxMomentary)), std::tuple(before + 1, false, false));
    // Only the quiet block counts now: its peak, not the loud one's.
    EXPECT_NEAR(20.0 * std::log10(s.samplePeak[0]), -30.0, 0.05);
    feed.Collect(); // frees the state the reset replaced
}

// Exact mode grows the heap on the same blocks: the check can see growth.
TEST(LoudnessFeed, LiveMemoryStaysFixed)
{
    if (HeapInUse() == 0)
        GTEST_SKIP() << "the heap figures are not available with this allocator";
    const std::vector<std::int16_t> tone = ToneBlocks(-23.0, 10.0);
    const std::size_t blocks = tone.size() / (2 * CToneSequence::kBlockFrames);

    COnFeed feed;
    CLoudnessSnapshot s;
    feed.ProcessBlock(tone.data(), CToneSequence::kBlockFrames, s); // serves the switch-on reset
    feed.Collect();
    const std::size_t liveBefore = HeapInUse();
    FeedBlocks(feed, tone, s);
    EXPECT_EQ(HeapInUse(), liveBefore);

    CLoudnessModel exact;
    exact.Open(2, kRate, ELoudnessMode::Exact, false);
    const std::size_t exactBefore = HeapInUse();
    for (std::size_t b = 0; b < blocks; ++b)
        exact.AddInterleaved16(tone.data() + b * 2 * CToneSequence::kBlockFrames, CToneSequence::kBlockFrames);
    EXPECT_GT(HeapInUse(), exactBefore);
}

} // namespace
