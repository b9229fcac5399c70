#include "meters/ppm/PpmLevelTable.h"

#include <gtest/gtest.h>

TEST(PpmLevelTable, TellingMagnitudesReadTheirStepsAndOnlyFullScaleReachesZeroDb)
{
    const struct { unsigned magnitude, step; } rows[] = { { 0, 0 }, { 1, 1 }, { 9, 9 }, { 10, 10 }, { 31, 19 }, { 32, 20 },
        { 326, 59 }, { 327, 60 }, { 3275, 159 }, { 3276, 160 }, { 10362, 260 }, { 16421, 299 }, { 16422, 300 },
        { 29203, 349 }, { 29204, 350 }, { 32391, 358 }, { 32392, 359 }, { 32766, 359 }, { 32767, 360 } };
    const CPpmLevelTable table;
    for (const auto& r : rows) EXPECT_EQ(table.Step(r.magnitude), r.step) << "magnitude " << r.magnitude;
    ASSERT_EQ(table.Size(), 32768u);
    for (unsigned k = 1, previous = 0; k + 1 < table.Size(); previous = table.Step(k++))
        ASSERT_TRUE(table.Step(k) >= previous && table.Step(k) < 360u) << "magnitude " << k;
}

TEST(PpmLevelTable, ScaleStepsInDb)
{
    const struct { unsigned step; double db; } rows[] = { { 0, -96.0 }, { 1, -90.0 }, { 3, -80.76 }, { 9, -71.22 },
        { 10, -70.0 }, { 20, -60.0 }, { 21, -59.5 }, { 60, -40.0 }, { 61, -39.8 }, { 85, -35.0 }, { 135, -25.0 },
        { 160, -20.0 }, { 300, -6.0 }, { 359, -0.1 }, { 360, 0.0 } };
    for (const auto& r : rows) EXPECT_EQ(CPpmLevelTable::DbTable()[r.step], r.db) << "step " << r.step;
}

TEST(PpmLevelTable, BlockPeakFoldsNegativeSamplesAndKeepsChannelsApart)
{
    for (const auto& [sample, magnitude] : { std::pair { -1, 0u }, { -100, 99u }, { -32768, 32767u }, { 32767, 32767u } })
        EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(static_cast<std::int16_t>(sample)), magnitude) << sample;
    std::int16_t block[1024];
    for (int f = 0; f < 512; ++f) {
        block[2 * f] = -1; // left: constant -1 reads as silence
        block[2 * f + 1] = static_cast<std::int16_t>(f % 7 - 3);
    }
    block[2 * 511 + 1] = -32768; // on the last frame
    block[0] = 5;                // on the first frame
    EXPECT_EQ(CPpmLevelTable::BlockPeak(block, 512, 0), 5u);
    EXPECT_EQ(CPpmLevelTable::BlockPeak(block, 512, 1), 32767u);
}
