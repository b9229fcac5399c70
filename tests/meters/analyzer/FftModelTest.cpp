#include "meters/analyzer/FftModel.h"

#include <gtest/gtest.h>

TEST(FftModel, BarsRiseAtOnceFallOnTheTickAndKeepTheirHighest)
{
    CFftModel model;
    model.SetDecayTime(fft::kDecayFast);
    const std::uint32_t fullScale = 32768;
    model.Input(fullScale, 73);
    EXPECT_EQ(model.Bar(73).level, 360u);
    EXPECT_EQ(model.Bar(72).level, 0u);
    EXPECT_FALSE(model.Input(fullScale, 128)) << "there are 128 bars";
    model.Input(0, 73);
    const struct { int ticks; unsigned level; } rows[] = { { 1, 358 }, { 10, 338 }, { 164, 10 }, { 5, 5 }, { 10, 0 } };
    for (const auto& row : rows) {
        for (int t = 0; t < row.ticks; ++t) model.Tick();
        EXPECT_EQ(model.Bar(73).level, row.level);
    }
    EXPECT_EQ(model.Bar(73).highest, 360u);
}

TEST(FftModel, AnOwnTickShareStartsEmpty)
{
    CMeterTickShare program;
    CFftModel a;
    a.SetTickShare(&program);
    a.Tick(); // medium: half way
    CFftModel b;
    b.SetTickShare(&program);
    EXPECT_TRUE(b.Tick().decay) << "the program's accumulator is shared";
    CFftModel fresh;
    EXPECT_FALSE(fresh.Tick().decay);
}
