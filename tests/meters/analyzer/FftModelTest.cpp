#include "meters/analyzer/FftModel.h"

#include <gtest/gtest.h>

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
