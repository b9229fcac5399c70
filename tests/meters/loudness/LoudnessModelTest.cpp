// Loudness as the live capture measures it: the EBU stereo conformance cases
// built from their published descriptions, true peaks, switching and resets,
// and the live path's fixed memory.
#include "meters/loudness/LoudnessFeed.h"
#include "meters/loudness/LoudnessModel.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using ToneStep = std::pair<double, double>; // the peak level in dBFS, seconds

constexpr std::size_t kBlockFrames = 512;

// A stereo 1 kHz sine, the same on both channels, in steps, as interleaved 16-bit samples.
std::vector<std::int16_t> ToneSamples(unsigned rate, const std::vector<ToneStep>& steps)
{
    std::vector<std::int16_t> samples;
    long n = 0;
    for (const ToneStep& step : steps) {
        const double gain = std::pow(10.0, step.first / 20.0);
        for (long i = std::lround(step.second * rate); i > 0; --i, ++n) {
            // A second holds a whole number of periods: the phase restarts every `rate` samples.
            const double x = gain * std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(n % rate) / rate);
            const auto value = static_cast<std::int16_t>(std::clamp(std::lround(x * 32768.0), -32768L, 32767L));
            samples.insert(samples.end(), { value, value });
        }
    }
    return samples;
}

// Whole blocks only, as the capture delivers them.
void FeedBlocks(CLoudnessFeed& feed, const std::vector<std::int16_t>& samples, CLoudnessSnapshot& s)
{
    for (std::size_t at = 0; at + 2 * kBlockFrames <= samples.size(); at += 2 * kBlockFrames)
        ASSERT_TRUE(feed.ProcessBlock(samples.data() + at, kBlockFrames, s));
}

// A feed opened at `rate` and switched on.
struct COnFeed : CLoudnessFeed {
    explicit COnFeed(unsigned rate = 48000)
    {
        Open(rate);
        SetOn(true);
    }
};

constexpr unsigned kRate = 48000;
constexpr double kLoudnessTolerance = 0.1;
constexpr double kRangeTolerance = 1.0;

// 1 kHz stereo tones, levels and durations as published; the integrated loudness
// (LUFS) or the loudness range (LU) they must read.
struct Case {
    const char* name;
    std::vector<ToneStep> steps;
    bool range;
    double expected;
};
const Case kCases[] = {
    { "Case4", { { -72.0, 10.0 }, { -36.0, 10.0 }, { -23.0, 60.0 }, { -36.0, 10.0 }, { -72.0, 10.0 } }, false, -23.0 },
    { "Case5", { { -26.0, 20.0 }, { -20.0, 20.1 }, { -26.0, 20.0 } }, false, -23.0 },
    { "Case3", { { -40.0, 20.0 }, { -20.0, 20.0 } }, true, 20.0 },
    { "Case4", { { -50.0, 20.0 }, { -35.0, 20.0 }, { -20.0, 20.0 }, { -35.0, 20.0 }, { -50.0, 20.0 } }, true, 15.0 },
};

class LoudnessConformance : public ::testing::TestWithParam<unsigned> {};

// Through the live capture feed: 16-bit blocks, histogram mode, true peak on.
TEST_P(LoudnessConformance, IntegratedAndRangeCases)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.range ? "range " : "integrated ") + c.name + " at " + std::to_string(GetParam()));
        COnFeed feed(GetParam());
        CLoudnessSnapshot r;
        FeedBlocks(feed, ToneSamples(GetParam(), c.steps), r);
        ASSERT_TRUE(r.Has(c.range ? CLoudnessSnapshot::kRange : CLoudnessSnapshot::kIntegrated));
        EXPECT_NEAR(c.range ? r.range : r.integrated, c.expected, c.range ? kRangeTolerance : kLoudnessTolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, LoudnessConformance, ::testing::Values(44100u, 48000u));

// A quarter-rate sine at 45 degrees never samples its crest, 3 dB above the
// samples; a 50 ms fade-in avoids a switch-on overshoot.
TEST(LoudnessTruePeak, QuarterRateSineReadsItsCrestOnBothChannels)
{
    constexpr std::size_t kFadeInFrames = 2400;
    for (double sampleDbfs : { -6.0, -1.0 }) {
        SCOPED_TRACE(sampleDbfs);
        const double amplitude = std::pow(10.0, sampleDbfs / 20.0) / std::cos(M_PI / 4);
        std::vector<std::int16_t> samples;
        for (std::size_t n = 0; n < 100 * kBlockFrames; ++n) {
            const double fade = n < kFadeInFrames ? 0.5 - 0.5 * std::cos(M_PI * static_cast<double>(n) / kFadeInFrames) : 1.0;
            const double x = fade * amplitude * std::cos(M_PI / 2.0 * static_cast<double>(n) + M_PI / 4);
            const auto sample = static_cast<std::int16_t>(std::lround(x * 32768.0));
            samples.insert(samples.end(), { sample, sample });
        }
        COnFeed feed;
        CLoudnessSnapshot s;
        FeedBlocks(feed, samples, s);
        EXPECT_NEAR(20.0 * std::log10(s.samplePeak[0]), sampleDbfs, 0.01);
        EXPECT_NEAR(20.0 * std::log10(s.truePeak[0]), sampleDbfs + 3.0 - 0.1, 0.3);
        EXPECT_FLOAT_EQ(s.truePeak[1], s.truePeak[0]);
    }
}

// 5.1: a surround channel weighs 1.41 (+1.5 dB), the LFE not at all; no
// channels or no rate is refused.
TEST(LoudnessModel, SurroundChannelsWeighOnePointFiveDecibelsMoreAndTheLfeNothing)
{
    const double front = -23.0 - 3.01; // one channel of a -23 dBFS stereo pair
    const struct { unsigned channel; double expected; } rows[] = { { 0, front }, { 3, 0.0 }, { 4, front + 1.5 } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.channel);
        CLoudnessModel model;
        ASSERT_TRUE(model.Open(6, 48000, ELoudnessMode::Exact, false));
        std::vector<float> frames(6 * 48000 * 5);
        const double gain = std::pow(10.0, -23.0 / 20.0);
        for (std::size_t i = 0; i < frames.size() / 6; ++i)
            frames[i * 6 + row.channel] = static_cast<float>(gain * std::sin(2.0 * M_PI * 1000.0 * i / 48000.0));
        model.AddInterleavedFloat(frames.data(), frames.size() / 6);
        EXPECT_NEAR(model.Integrated().value_or(0.0), row.expected, kLoudnessTolerance);
    }
    CLoudnessModel model;
    EXPECT_FALSE(model.Open(0, 48000, ELoudnessMode::Exact) || model.Open(2, 0, ELoudnessMode::Histogram));
}

TEST(LoudnessFeed, MeasuresOnlyWhileOnAndSwitchingOnAgainOrAResetStartsAfresh)
{
    const std::vector<std::int16_t> loud = ToneSamples(kRate, { { -10.0, 1.0 } });
    const std::vector<std::int16_t> quiet = ToneSamples(kRate, { { -30.0, 0.1 } });
    CLoudnessFeed feed;
    ASSERT_TRUE(feed.Open(kRate));
    CLoudnessSnapshot s;
    EXPECT_FALSE(feed.ProcessBlock(loud.data(), kBlockFrames, s));
    feed.SetOn(true);
    FeedBlocks(feed, loud, s);
    EXPECT_NEAR(s.momentary, -10.0, 0.1);
    EXPECT_FALSE(s.Has(CLoudnessSnapshot::kShortTerm)) << "no 3 s window complete yet";
    feed.SetOn(false);
    EXPECT_FALSE(feed.ProcessBlock(loud.data(), kBlockFrames, s));
    for (bool reset : { false, true }) {
        SCOPED_TRACE(reset ? "reset" : "switched on again");
        const std::uint32_t before = s.resetCount;
        if (reset)
            feed.RequestReset();
        else
            feed.SetOn(true);
        feed.ProcessBlock(quiet.data(), kBlockFrames, s);
        EXPECT_EQ(std::tuple(s.resetCount, s.Has(CLoudnessSnapshot::kIntegrated),
                             s.Has(CLoudnessSnapshot::kMaxMomentary)), std::tuple(before + 1, false, false));
        EXPECT_NEAR(20.0 * std::log10(s.samplePeak[0]), -30.0, 0.05) << "only the quiet block counts now";
        FeedBlocks(feed, loud, s);
        ASSERT_TRUE(s.Has(CLoudnessSnapshot::kIntegrated));
        feed.Collect(); // frees the state the fresh start replaced
    }
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

// Exact mode grows the heap on the same blocks: the check can see growth.
TEST(LoudnessFeed, LiveMemoryStaysFixed)
{
    if (HeapInUse() == 0)
        GTEST_SKIP() << "the heap figures are not available with this allocator";
    const std::vector<std::int16_t> tone = ToneSamples(kRate, { { -23.0, 10.0 } });
    COnFeed feed;
    CLoudnessSnapshot s;
    feed.ProcessBlock(tone.data(), kBlockFrames, s); // serves the switch-on reset
    feed.Collect();
    const std::size_t liveBefore = HeapInUse();
    FeedBlocks(feed, tone, s);
    EXPECT_EQ(HeapInUse(), liveBefore);

    CLoudnessModel exact;
    exact.Open(2, kRate, ELoudnessMode::Exact, false);
    const std::size_t exactBefore = HeapInUse();
    for (std::size_t at = 0; at + 2 * kBlockFrames <= tone.size(); at += 2 * kBlockFrames)
        exact.AddInterleaved16(tone.data() + at, kBlockFrames);
    EXPECT_GT(HeapInUse(), exactBefore);
}

} // namespace
