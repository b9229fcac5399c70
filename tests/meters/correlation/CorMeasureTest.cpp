// The correlation measurement without a display: the coefficient of one
// window, its smoothing, and the phase-angle extremes.
#include "meters/correlation/CorEstimator.h"
#include "meters/correlation/CorModel.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <numbers>

namespace {
using Channel = std::function<int(int)>;
using WindowSamples = std::array<std::int16_t, 2 * CCorEstimator::kFrames>;

WindowSamples Window(const Channel& left, const Channel& right)
{
    WindowSamples w {};
    for (int i = 0; i < CCorEstimator::kFrames; ++i) {
        w[2 * i] = static_cast<std::int16_t>(left(i));
        w[2 * i + 1] = static_cast<std::int16_t>(right(i));
    }
    return w;
}
// Whole periods in the window, so the cross terms of two phases cancel.
Channel Sine(double amplitude, int periods, double phaseDegrees = 0.0)
{
    return [=](int i) {
        return int(std::lround(amplitude * std::sin(2 * std::numbers::pi * periods * i / CCorEstimator::kFrames + phaseDegrees * std::numbers::pi / 180)));
    };
}
Channel Constant(int value) { return [=](int) { return value; }; }
double Raw(const WindowSamples& w) { return CCorEstimator::RawCorrelation(CCorEstimator::SumWindow(w.data())); }
}

TEST(CorEstimator, CoefficientOfKnownWindows)
{
    const struct { const char* what; WindowSamples window; double raw, tolerance; } rows[] = {
        { "both silent read as identical", Window(Constant(0), Constant(0)), 1.0, 0 },
        { "one silent channel", Window(Sine(10000, 8), Constant(0)), 0.0, 0 },
        { "the other silent, barely audible", Window(Constant(0), Sine(3, 5)), 0.0, 0 },
        { "-1 folds to 0: still silence", Window(Constant(0), Constant(-1)), 1.0, 0 },
        { "a single -2 is a signal", Window(Constant(0), [](int i) { return i == 700 ? -2 : 0; }), 0.0, 0 },
        { "identical", Window(Sine(20000, 3), Sine(20000, 3)), 1.0, 0 },
        { "opposite", Window(Sine(20000, 3), Sine(-20000, 3)), -1.0, 0 },
        { "rounding stays on the scale", Window(Constant(4096), Constant(4097)), 1.0, 0 },
        { "rounding stays on the scale, opposite", Window(Constant(4096), Constant(-4097)), -1.0, 0 },
        { "90 degrees", Window(Sine(16000, 16), Sine(16000, 16, 90)), 0.0, 1e-4 },
        { "60 degrees at half the level", Window(Sine(16000, 16), Sine(8000, 16, 60)), 0.5, 1e-4 },
        { "135 degrees", Window(Sine(16000, 16), Sine(16000, 16, 135)), -std::sqrt(0.5), 1e-4 },
    };
    for (const auto& row : rows) EXPECT_NEAR(Raw(row.window), row.raw, row.tolerance) << row.what;
}

TEST(CorEstimator, FullScaleSumsNeedSixtyFourBits)
{
    const WindowSamples w = Window(Constant(-32768), Constant(-32768));
    const CCorSums sums = CCorEstimator::SumWindow(w.data());
    // 1024 products of 2^30 each; -32768 folds to full scale.
    constexpr std::int64_t k2To40 = std::int64_t { 1 } << 40;
    EXPECT_EQ(std::tuple(sums.ll, sums.rr, sums.lr, sums.peakLeft, sums.peakRight), std::tuple(k2To40, k2To40, k2To40, 32767, 32767));
}

TEST(CorEstimator, SmoothingHasATimeConstantOfAboutFourPointSixWindows)
{
    EXPECT_NEAR(double(CCorEstimator::kK1), 0.0972078442573547, 1e-16);
    EXPECT_NEAR(double(CCorEstimator::kK2), -0.8055843114852905, 1e-16);
    float state = 0.0f;
    std::array<float, 8> y {};
    for (float& v : y) v = CCorEstimator::Smooth(1.0, state);
    EXPECT_NEAR(y[0], 0.0972078, 1e-6);
    EXPECT_LT(y[4], 1.0 - std::exp(-1.0)) << "1 - 1/e is crossed between the fifth and sixth window";
    EXPECT_GT(y[5], 1.0 - std::exp(-1.0));
    for (int i = 0; i < 500; ++i) y[0] = CCorEstimator::Smooth(-1.0, state);
    EXPECT_NEAR(y[0], -1.0, 1e-6);
    EXPECT_GE(y[0], -1.0f);
}

TEST(CorEstimator, OneProgramSharesItsStateAndAnotherStartsAfresh)
{
    float program = 0.0f;
    CCorEstimator first, second;
    first.SetSmoothingState(&program);
    second.SetSmoothingState(&program);
    const WindowSamples silence = Window(Constant(0), Constant(0));
    const WindowSamples opposite = Window(Sine(12000, 4), Sine(-12000, 4));
    for (int i = 0; i < 300; ++i) first.Estimate(silence.data());
    const CCorReading reading = second.Estimate(opposite.data());
    EXPECT_EQ(reading.raw, -1.0);
    EXPECT_NEAR(reading.smoothed, 1.0 - 2 * 0.0972078, 1e-5) << "carries on from +1";

    float fresh = 0.0f;
    CCorEstimator nextFile;
    nextFile.SetSmoothingState(&fresh);
    EXPECT_NEAR(nextFile.Estimate(opposite.data()).smoothed, -0.0972078, 1e-6) << "one window from rest";
}

TEST(CorModel, PhaseAngleExtremesOfTheRawCoefficient)
{
    const struct { double raw; int min, max; } rows[] = { { 1.0, 0, cor::kNoMaxAngle }, { 0.5, 60, cor::kNoMaxAngle }, { 0.0, cor::kNoMinAngle, cor::kNoMaxAngle },
        { std::cos(89.5 * std::numbers::pi / 180), 89, cor::kNoMaxAngle }, { std::cos(91.5 * std::numbers::pi / 180), 180, 91 },
        { -0.5, cor::kNoMinAngle, 120 }, { -1.0, cor::kNoMinAngle, 180 }, { 1.0000001, 0, cor::kNoMaxAngle },
        { -1.0000002, cor::kNoMinAngle, 180 }, { std::nan(""), cor::kNoMinAngle, cor::kNoMaxAngle } };
    for (const auto& row : rows) {
        CCorModel model;
        EXPECT_TRUE(model.Input(0.0, row.raw));
        EXPECT_EQ(std::pair(model.MinAngle(), model.MaxAngle()), std::pair(row.min, row.max)) << row.raw;
    }
    CCorModel model;
    for (double raw : { 0.5, -0.5, 0.866, -0.8661, 0.7 }) model.Input(0.0, raw);
    EXPECT_EQ(std::pair(model.MinAngle(), model.MaxAngle()), std::pair(30, 150)) << "the smallest and the largest stay";
    for (double smoothed : { 1.0000001, -1.5, std::nan("") }) EXPECT_FALSE(model.Input(smoothed, -1.0)) << smoothed;
    EXPECT_EQ(std::pair(model.Readings(), model.MaxAngle()), std::pair(std::uint64_t { 8 }, 150)) << "an off-scale window moves nothing";
    model.ClearAngles();
    EXPECT_EQ(std::pair(model.MinAngle(), model.MaxAngle()), std::pair(cor::kNoMinAngle, cor::kNoMaxAngle));
}
