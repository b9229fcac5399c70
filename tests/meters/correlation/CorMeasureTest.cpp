// The correlation measurement without a display: the coefficient of one
// window, its smoothing, and the phase-angle extremes.
#include "meters/correlation/CorEstimator.h"
#include "meters/correlation/CorModel.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

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
        const double turns = double(periods) * i / CCorEstimator::kFrames + phaseDegrees / 360;
        return int(std::lround(amplitude * std::sin(2 * std::numbers::pi * turns)));
    };
}
Channel Constant(int value) { return [=](int) { return value; }; }
}

TEST(CorEstimator, CoefficientOfKnownWindows)
{
    const struct { const char* what; WindowSamples window; double raw, tolerance; } rows[] = {
        { "both silent read as identical", Window(Constant(0), Constant(0)), 1.0, 0 },
        { "one silent channel", Window(Sine(10000, 8), Constant(0)), 0.0, 0 },
        { "-1 folds to 0: still silence", Window(Constant(0), Constant(-1)), 1.0, 0 },
        { "a single -2 is a signal", Window(Constant(0), [](int i) { return i == 700 ? -2 : 0; }), 0.0, 0 },
        { "identical", Window(Sine(20000, 3), Sine(20000, 3)), 1.0, 0 },
        { "opposite", Window(Sine(20000, 3), Sine(-20000, 3)), -1.0, 0 },
        { "rounding stays on the scale", Window(Constant(4096), Constant(-4097)), -1.0, 0 },
        { "90 degrees", Window(Sine(16000, 16), Sine(16000, 16, 90)), 0.0, 1e-4 },
        { "60 degrees at half the level", Window(Sine(16000, 16), Sine(8000, 16, 60)), 0.5, 1e-4 },
        { "135 degrees", Window(Sine(16000, 16), Sine(16000, 16, 135)), -std::sqrt(0.5), 1e-4 },
    };
    for (const auto& row : rows) {
        const double raw = CCorEstimator::RawCorrelation(CCorEstimator::SumWindow(row.window.data()));
        EXPECT_NEAR(raw, row.raw, row.tolerance) << row.what;
    }
}

// The sums read a window several frames at a time: a frame counts once, in its own channel,
// wherever it falls, including the frames after the last whole group.
TEST(CorSumLanes, OneLoudFrameCountsOnceInItsChannelWhereverItFalls)
{
    constexpr int kFrames = 11; // two groups of four and three frames more
    for (int at = 0; at < kFrames; ++at) {
        std::vector<std::int16_t> window(2 * kFrames, 0);
        window[static_cast<std::size_t>(2 * at)] = -20000; // left
        window[static_cast<std::size_t>(2 * at + 1)] = 300; // right
        const CCorSums sums = CCorEstimator::SumWindow(window.data(), kFrames);
        EXPECT_EQ(std::tuple(sums.ll, sums.rr, sums.lr, sums.peakLeft, sums.peakRight),
            std::tuple(400000000, 90000, -6000000, 19999, 300)) << "frame " << at; // -20000 folds to 19999
    }
}

// The smoothing crosses 1 - 1/e between the fifth and sixth window; one program shares
// its state, the next file starts from rest.
TEST(CorEstimator, SmoothingOfAboutFourPointSixWindowsWithStateOfItsOwner)
{
    float program = 0.0f;
    std::array<float, 6> y {};
    for (float& v : y)
        v = CCorEstimator::Smooth(1.0, program);
    EXPECT_EQ(std::pair(y[4] < 1.0 - std::exp(-1.0), y[5] > 1.0 - std::exp(-1.0)), std::pair(true, true));
    CCorEstimator first, second;
    first.SetSmoothingState(&program);
    second.SetSmoothingState(&program);
    const WindowSamples silence = Window(Constant(0), Constant(0));
    const WindowSamples opposite = Window(Sine(12000, 4), Sine(-12000, 4));
    for (int i = 0; i < 300; ++i)
        first.Estimate(silence.data());
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
    const int none = cor::kNoMinAngle, noMax = cor::kNoMaxAngle;
    const struct { double raw; int min, max; } rows[] = { { 1.0, 0, noMax }, { 0.5, 60, noMax }, { 0.0, none, noMax },
        { std::cos(89.5 * std::numbers::pi / 180), 89, noMax }, { std::cos(91.5 * std::numbers::pi / 180), 180, 91 },
        { -0.5, none, 120 }, { 1.0000001, 0, noMax }, { -1.0000002, none, 180 }, { std::nan(""), none, noMax } };
    for (const auto& row : rows) {
        CCorModel model;
        EXPECT_TRUE(model.Input(0.0, row.raw));
        EXPECT_EQ(std::pair(model.MinAngle(), model.MaxAngle()), std::pair(row.min, row.max)) << row.raw;
    }
    CCorModel model;
    for (double raw : { 0.5, -0.5, 0.866, -0.8661, 0.7 })
        model.Input(0.0, raw);
    EXPECT_EQ(std::pair(model.MinAngle(), model.MaxAngle()), std::pair(30, 150)) << "the smallest and the largest stay";
    for (double smoothed : { 1.0000001, -1.5, std::nan("") })
        EXPECT_FALSE(model.Input(smoothed, -1.0)) << smoothed;
    // An off-scale window moves nothing.
    EXPECT_EQ(std::pair(model.Readings(), model.MaxAngle()), std::pair(std::uint64_t { 8 }, 150));
    model.ClearAngles();
    EXPECT_EQ(std::pair(model.MinAngle(), model.MaxAngle()), std::pair(none, noMax));
}
