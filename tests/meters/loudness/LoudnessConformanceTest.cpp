// The EBU stereo conformance cases, built from their published descriptions.
#include "meters/loudness/LoudnessFeed.h"
#include "meters/loudness/LoudnessModel.h"
#include "tests/meters/loudness/ToneSequence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    std::vector<ToneStep> steps;
    double expected; // integrated LUFS or range LU
    // A steady tone: momentary and short-term (and their maxima) read its level too.
    bool steady = false;
};

// Integrated loudness: 1 kHz stereo tone, levels and durations as published.
const std::vector<Case> kIntegratedCases = { { "Case1", { { -23.0, 20.0 } }, -23.0, true }, { "Case2", { { -33.0, 20.0 } }, -33.0, true },
    { "Case3", { { -36.0, 10.0 }, { -23.0, 60.0 }, { -36.0, 10.0 } }, -23.0 },
    { "Case4", { { -72.0, 10.0 }, { -36.0, 10.0 }, { -23.0, 60.0 }, { -36.0, 10.0 }, { -72.0, 10.0 } }, -23.0 },
    { "Case5", { { -26.0, 20.0 }, { -20.0, 20.1 }, { -26.0, 20.0 } }, -23.0 } };

// Loudness range: 20 s steps of a 1 kHz stereo tone.
const std::vector<Case> kRangeCases = { { "Case1", { { -20.0, 20.0 }, { -30.0, 20.0 } }, 10.0 },
    { "Case2", { { -20.0, 20.0 }, { -15.0, 20.0 } }, 5.0 }, { "Case3", { { -40.0, 20.0 }, { -20.0, 20.0 } }, 20.0 },
    { "Case4", { { -50.0, 20.0 }, { -35.0, 20.0 }, { -20.0, 20.0 }, { -35.0, 20.0 }, { -50.0, 20.0 } }, 15.0 } };

constexpr double kLoudnessTolerance = 0.1;
constexpr double kRangeTolerance = 1.0;

// Through the live capture feed: 16-bit blocks, histogram mode, true peak on.
CLoudnessSnapshot MeasureLive(unsigned rate, const std::vector<ToneStep>& steps)
{
    CLoudnessSnapshot reading;
    CLoudnessFeed feed;
    feed.Open(rate);
    feed.SetOn(true);
    CToneSequence(rate, steps).Feed<std::int16_t>([&](const std::int16_t* block, std::size_t frames) { feed.ProcessBlock(block, frames, reading); });
    return reading;
}

class LoudnessConformance : public ::testing::TestWithParam<unsigned> {};

TEST_P(LoudnessConformance, IntegratedAndRangeCases)
{
    const unsigned rate = GetParam();
    for (const auto* cases : { &kIntegratedCases, &kRangeCases }) {
        const bool range = cases == &kRangeCases;
        for (const Case& c : *cases) {
            SCOPED_TRACE(std::string(range ? "range " : "integrated ") + c.name + " at " + std::to_string(rate));
            const CLoudnessSnapshot r = MeasureLive(rate, c.steps);
            ASSERT_TRUE(r.Has(range ? CLoudnessSnapshot::kRange : CLoudnessSnapshot::kIntegrated));
            EXPECT_NEAR(range ? r.range : r.integrated, c.expected, range ? kRangeTolerance : kLoudnessTolerance);
            if (!c.steady)
                continue;
            ASSERT_TRUE(r.Has(CLoudnessSnapshot::kMomentary) && r.Has(CLoudnessSnapshot::kShortTerm));
            for (double reading : { r.momentary, r.shortTerm, r.maxMomentary, r.maxShortTerm }) EXPECT_NEAR(reading, c.expected, kLoudnessTolerance);
        }
    }
}

// File analysis: exact mode on float frames, both gates at work.
TEST(LoudnessModel, ExactModeOnFloatFramesPassesTheGatedCase)
{
    CLoudnessModel exact;
    ASSERT_TRUE(exact.Open(2, 48000, ELoudnessMode::Exact));
    CToneSequence(48000, kIntegratedCases[3].steps).Feed<float>([&](const float* block, std::size_t frames) { exact.AddInterleavedFloat(block, frames); });
    ASSERT_TRUE(exact.Integrated() && exact.Range());
    EXPECT_NEAR(*exact.Integrated(), -23.0, kLoudnessTolerance);
    EXPECT_NEAR(*exact.Range(), 13.0, kRangeTolerance) << "two tones, -36 and -23, both above the range's relative gate";
    EXPECT_NEAR(20.0 * std::log10(exact.TruePeak(0)), -23.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Rates, LoudnessConformance, ::testing::Values(44100u, 48000u));

// A sine at a quarter of the rate with a 45 degree phase never samples its crest,
// 3 dB above the samples; a 50 ms fade-in avoids a switch-on overshoot.
constexpr std::size_t kFadeInFrames = 2400;

double QuarterRateTruePeakDb(double sampleDbfs, double phaseDegrees)
{
    constexpr unsigned kRate = 48000;
    const double amplitude = std::pow(10.0, sampleDbfs / 20.0) / std::cos(phaseDegrees * M_PI / 180.0);
    std::vector<std::int16_t> block(CToneSequence::kBlockFrames * 2);
    CLoudnessFeed feed;
    feed.Open(kRate);
    feed.SetOn(true);
    CLoudnessSnapshot s;
    std::size_t n = 0;
    for (int b = 0; b < 100; ++b) {
        for (std::size_t i = 0; i < CToneSequence::kBlockFrames; ++i, ++n) {
            const double fade = n < kFadeInFrames ? 0.5 - 0.5 * std::cos(M_PI * static_cast<double>(n) / kFadeInFrames) : 1.0;
            const double x = fade * amplitude * std::cos(M_PI / 2.0 * static_cast<double>(n) + phaseDegrees * M_PI / 180.0);
            block[i * 2] = block[i * 2 + 1] = static_cast<std::int16_t>(std::lround(x * 32768.0));
        }
        feed.ProcessBlock(block.data(), CToneSequence::kBlockFrames, s);
    }
    EXPECT_NEAR(20.0 * std::log10(s.samplePeak[0]), sampleDbfs, 0.01);
    EXPECT_FLOAT_EQ(s.truePeak[0], s.truePeak[1]);
    return 20.0 * std::log10(s.truePeak[0]);
}

TEST(LoudnessTruePeak, QuarterRateSineReadsItsCrest)
{
    const struct { double sampleDbfs, phase, expected; } rows[] = { { -6.0, 45.0, -3.0 }, { -6.0, 0.0, -6.0 }, { -1.0, 45.0, 2.0 } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sampleDbfs + row.phase);
        EXPECT_NEAR(QuarterRateTruePeakDb(row.sampleDbfs, row.phase), row.expected - 0.1, 0.3);
    }
}

TEST(LoudnessModel, TooShortInputHasNoGatedValuesAndUnusableFormatsAreRefused)
{
    CLoudnessModel model;
    ASSERT_TRUE(model.Open(2, 48000, ELoudnessMode::Exact));
    CToneSequence(48000, { { -23.0, 0.3 } }).Feed<float>([&](const float* b, std::size_t n) { model.AddInterleavedFloat(b, n); });
    EXPECT_FALSE(model.Momentary() || model.ShortTerm() || model.Integrated() || model.Range() || model.MaxMomentary());
    EXPECT_FALSE(model.Open(0, 48000, ELoudnessMode::Exact));
    EXPECT_FALSE(model.Open(2, 0, ELoudnessMode::Histogram));
    EXPECT_FALSE(model.IsOpen());
    EXPECT_EQ(model.AddInterleavedFloat(nullptr, 10), 0u);
}

// 5.1: a surround channel weighs 1.41 (+1.5 dB), the LFE not at all.
TEST(LoudnessModel, MultichannelWeightsFollowTheLayout)
{
    const double front = -23.0 - 3.01; // one channel of a -23 dBFS stereo pair
    const struct { unsigned channel; std::optional<double> expected; } rows[] = { { 0, front }, { 2, front }, { 3, std::nullopt }, { 4, front + 1.5 } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.channel);
        CLoudnessModel model;
        ASSERT_TRUE(model.Open(6, 48000, ELoudnessMode::Exact, false));
        std::vector<float> frames(6 * 48000 * 5);
        const double gain = std::pow(10.0, -23.0 / 20.0);
        for (std::size_t i = 0; i < frames.size() / 6; ++i)
            frames[i * 6 + row.channel] = static_cast<float>(gain * std::sin(2.0 * M_PI * 1000.0 * i / 48000.0));
        model.AddInterleavedFloat(frames.data(), frames.size() / 6);
        ASSERT_EQ(model.Integrated().has_value(), row.expected.has_value());
        EXPECT_NEAR(model.Integrated().value_or(0), row.expected.value_or(0), kLoudnessTolerance);
    }
}

} // namespace
