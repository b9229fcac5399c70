// The correlation meter's measurement without a display, and the smoothing
// state that belongs to one program (or one analysed file).
#include "meters/correlation/CorEstimator.h"
#include "meters/correlation/CorModel.h"

#include <gtest/gtest.h>
#include <vector>

TEST(CorModel, PhaseAnglesOfTheRawCoefficient)
{
    const struct {
        double raw;
        int min;
        int max;
    } rows[] = {
        { 1.0, 0, cor::kNoMaxAngle },
        { 0.5, 60, cor::kNoMaxAngle },
        { 0.0, cor::kNoMinAngle, cor::kNoMaxAngle }, // 90 degrees touches neither
        { -0.5, cor::kNoMinAngle, 120 },
        { -1.0, cor::kNoMinAngle, 180 },
        { 1.0000001, 0, cor::kNoMaxAngle },
    };
    for (const auto& row : rows) {
        CCorModel model;
        EXPECT_TRUE(model.Input(0.0, row.raw));
        EXPECT_EQ(model.MinAngle(), row.min) << row.raw;
        EXPECT_EQ(model.MaxAngle(), row.max) << row.raw;
    }
}

TEST(CorModel, OffScaleWindowsAreCountedButMoveNothing)
{
    CCorModel model;
    model.Input(0.2, 0.5);
    EXPECT_FALSE(model.Input(1.5, -1.0));
    EXPECT_EQ(model.Readings(), 2u);
    EXPECT_EQ(model.LastSmoothed(), 1.5);
    EXPECT_EQ(model.MaxAngle(), cor::kNoMaxAngle);
    EXPECT_EQ(model.MinAngle(), 60);
    model.ClearAngles();
    EXPECT_EQ(model.MinAngle(), cor::kNoMinAngle);
}

TEST(CorEstimator, SmoothingStartsAfreshForEveryProgramState)
{
    std::vector<std::int16_t> inPhase(2 * CCorEstimator::kFrames);
    std::vector<std::int16_t> antiPhase(2 * CCorEstimator::kFrames);
    for (int i = 0; i < CCorEstimator::kFrames; ++i) {
        const auto v = static_cast<std::int16_t>((i * 7919) % 20000 - 10000);
        inPhase[2 * i] = inPhase[2 * i + 1] = v;
        antiPhase[2 * i] = v;
        antiPhase[2 * i + 1] = static_cast<std::int16_t>(-v);
    }
    float first = 0.0f;
    CCorEstimator alone;
    alone.SetSmoothingState(&first);
    const double aloneReading = alone.Estimate(antiPhase.data()).smoothed;

    float second = 0.0f;
    CCorEstimator afterAnother;
    afterAnother.SetSmoothingState(&second);
    for (int w = 0; w < 3; ++w)
        afterAnother.Estimate(inPhase.data());
    float third = 0.0f;
    CCorEstimator nextFile;
    nextFile.SetSmoothingState(&third);
    EXPECT_EQ(nextFile.Estimate(antiPhase.data()).smoothed, aloneReading);
    EXPECT_NEAR(aloneReading, -CCorEstimator::kK1, 1e-6) << "one window from rest";
    EXPECT_NE(afterAnother.Estimate(antiPhase.data()).smoothed, aloneReading) << "one program carries its state";
}
