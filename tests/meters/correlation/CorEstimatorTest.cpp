#include "meters/correlation/CorEstimator.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>

namespace {

constexpr int kFrames = CCorEstimator::kFrames;

// One analysis window of interleaved stereo frames, left first.
class Window {
public:
    Window& Fill(const std::function<int(int)>& left, const std::function<int(int)>& right)
    {
        for (int i = 0; i < kFrames; ++i) {
            m_samples[2 * i] = static_cast<std::int16_t>(left(i));
            m_samples[2 * i + 1] = static_cast<std::int16_t>(right(i));
        }
        return *this;
    }
    const std::int16_t* Data() const { return m_samples.data(); }

private:
    std::array<std::int16_t, 2 * kFrames> m_samples {};
};

// A sine with a whole number of periods in the window, so cross terms of two
// phases cancel over it.
std::function<int(int)> Sine(double amplitude, int periods, double phaseDegrees = 0.0)
{
    return [=](int i) {
        return static_cast<int>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * periods * i / kFrames + phaseDegrees * std::numbers::pi / 180.0)));
    };
}
std::function<int(int)> Constant(int value)
{
    return [=](int) { return value; };
}

double Raw(const Window& w) { return CCorEstimator::RawCorrelation(CCorEstimator::SumWindow(w.Data())); }

} // namespace

TEST(CorSums, FullScaleNeedsSixtyFourBits)
{
    Window w;
    w.Fill(Constant(-32768), Constant(-32768));
    const CCorSums sums = CCorEstimator::SumWindow(w.Data());
    // 1024 products of 2^30 each: 2^40, well past 32 bits.
    EXPECT_EQ(sums.ll, std::int64_t { 1 } << 40);
    EXPECT_EQ(sums.rr, std::int64_t { 1 } << 40);
    EXPECT_EQ(sums.lr, std::int64_t { 1 } << 40);
    // -32768 folds to full scale 32767.
    EXPECT_EQ(sums.peakLeft, 32767);
    EXPECT_EQ(sums.peakRight, 32767);
}

TEST(CorRaw, BothChannelsSilentReadAsIdentical)
{
    Window w;
    w.Fill(Constant(0), Constant(0));
    EXPECT_EQ(Raw(w), 1.0);
}

TEST(CorRaw, OneSilentChannelReadsUncorrelated)
{
    Window w;
    w.Fill(Sine(10000, 8), Constant(0));
    EXPECT_EQ(Raw(w), 0.0);
    w.Fill(Constant(0), Sine(3, 5));
    EXPECT_EQ(Raw(w), 0.0);
}

TEST(CorRaw, MinusOneCountsAsSilenceForTheSilenceRule)
{
    // Left digitally silent, right a steady -1: the right channel has energy
    // but its folded peak is 0, so both count as silent.
    Window w;
    w.Fill(Constant(0), Constant(-1));
    EXPECT_EQ(Raw(w), 1.0);
    // A single -2 is a real signal of magnitude 1.
    w.Fill(Constant(0), [](int i) { return i == 700 ? -2 : 0; });
    EXPECT_EQ(Raw(w), 0.0);
}

TEST(CorRaw, IdenticalAndOppositeChannelsReachTheEnds)
{
    Window w;
    w.Fill(Sine(20000, 3), Sine(20000, 3));
    EXPECT_EQ(Raw(w), 1.0);
    w.Fill(Sine(20000, 3), Sine(-20000, 3));
    EXPECT_EQ(Raw(w), -1.0);
}

TEST(CorRaw, PhaseShiftGivesItsCosine)
{
    Window w;
    w.Fill(Sine(16000, 16), Sine(16000, 16, 90.0));
    EXPECT_NEAR(Raw(w), 0.0, 1e-4);
    w.Fill(Sine(16000, 16), Sine(8000, 16, 60.0));
    EXPECT_NEAR(Raw(w), 0.5, 1e-4);
    w.Fill(Sine(16000, 16), Sine(16000, 16, 135.0));
    EXPECT_NEAR(Raw(w), -std::sqrt(0.5), 1e-4);
}

TEST(CorRaw, RoundingNeverCarriesPastTheEnds)
{
    // With the sums rounded to single precision, steady levels of 4096 and
    // 4097 would give 1.00000003: the value stays on the scale.
    Window w;
    w.Fill(Constant(4096), Constant(4097));
    EXPECT_EQ(Raw(w), 1.0);
    w.Fill(Constant(4096), Constant(-4097));
    EXPECT_EQ(Raw(w), -1.0);
    for (int level = 4000; level < 4200; ++level) {
        w.Fill(Constant(level), Constant(level + 1));
        const double r = Raw(w);
        EXPECT_LE(r, 1.0) << level;
        EXPECT_GT(r, 0.9999) << level;
    }
}

TEST(CorSmoothing, ConstantsGiveUnityGainAtDc)
{
    EXPECT_NEAR(static_cast<double>(CCorEstimator::kK1), 0.0972078442573547, 1e-16);
    EXPECT_NEAR(static_cast<double>(CCorEstimator::kK2), -0.8055843114852905, 1e-16);
    EXPECT_EQ(2.0f * CCorEstimator::kK1, 1.0f + CCorEstimator::kK2);
}

TEST(CorSmoothing, StepResponseCrossesSixtyThreePercentAfterAboutFourPointSixWindows)
{
    float state = 0.0f;
    std::array<float, 8> y {};
    for (float& v : y)
        v = CCorEstimator::Smooth(1.0, state);
    // The first output is k1; 1 - 1/e is crossed between the fifth and the
    // sixth window (time constant 4.6 windows, half a window of delay).
    EXPECT_NEAR(y[0], 0.0972078, 1e-6);
    EXPECT_LT(y[4], 1.0 - std::exp(-1.0));
    EXPECT_GT(y[5], 1.0 - std::exp(-1.0));
    for (int i = 1; i < 8; ++i)
        EXPECT_GT(y[i], y[i - 1]);
}

TEST(CorSmoothing, SettlesAtTheEndsWithoutLeavingTheScale)
{
    for (const double target : { 1.0, -1.0, 0.5 }) {
        float state = 0.0f;
        float y = 0.0f;
        for (int i = 0; i < 500; ++i) {
            y = CCorEstimator::Smooth(target, state);
            EXPECT_LE(std::fabs(y), 1.0f);
        }
        EXPECT_NEAR(y, target, 1e-6) << target;
    }
}

TEST(CorEstimate, StateIsSharedByTheEstimatorsOfOneProgram)
{
    float program = 0.0f;
    CCorEstimator first;
    CCorEstimator second;
    first.SetSmoothingState(&program);
    second.SetSmoothingState(&program);
    Window silence;
    silence.Fill(Constant(0), Constant(0));
    CCorReading reading;
    for (int i = 0; i < 300; ++i)
        reading = first.Estimate(silence.Data());
    EXPECT_EQ(reading.raw, 1.0);
    EXPECT_NEAR(reading.smoothed, 1.0, 1e-6);

    // Another estimator carries on from the same state: one opposite window
    // pulls the value down from +1 by 2 * k1 only.
    Window opposite;
    opposite.Fill(Sine(12000, 4), Sine(-12000, 4));
    reading = second.Estimate(opposite.Data());
    EXPECT_EQ(reading.raw, -1.0);
    EXPECT_NEAR(reading.smoothed, 1.0 - 2 * 0.0972078, 1e-5);
}
