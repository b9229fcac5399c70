#include "meters/ppm/PpmLevelTable.h"

#include <gtest/gtest.h>

TEST(PpmLevelTable, TellingMagnitudesAndTheOneBelowEachReadTheirSteps)
{
    const struct {
        unsigned magnitude, step;
    } rows[] = { { 0, 0 }, { 1, 1 }, { 9, 9 }, { 10, 10 }, { 31, 19 }, { 32, 20 }, { 326, 59 }, { 327, 60 },
        { 3275, 159 }, { 3276, 160 }, { 10362, 260 }, { 16421, 299 }, { 16422, 300 }, { 29203, 349 },
        { 29204, 350 }, { 32391, 358 }, { 32392, 359 }, { 32766, 359 }, { 32767, 360 } };
    const CPpmLevelTable table;
    for (const auto& r : rows)
        EXPECT_EQ(table.Step(r.magnitude), r.step) << "magnitude " << r.magnitude;
}

TEST(PpmLevelTable, RisesMonotonicallyAndOnlyFullScaleReachesZeroDb)
{
    const CPpmLevelTable table;
    ASSERT_EQ(table.Size(), 32768u);
    unsigned previous = 0;
    for (unsigned k = 0; k + 1 < table.Size(); ++k) {
        ASSERT_GE(table.Step(k), previous) << "magnitude " << k;
        ASSERT_LT(table.Step(k), 360u) << "magnitude " << k;
        previous = table.Step(k);
    }
}

TEST(PpmLevelTable, ScaleStepsInDb)
{
    const struct {
        unsigned step;
        double db;
    } rows[] = { { 0, -96.0 }, { 1, -90.0 }, { 3, -80.76 }, { 9, -71.22 }, { 10, -70.0 }, { 20, -60.0 }, { 21, -59.5 },
        { 60, -40.0 }, { 61, -39.8 }, { 85, -35.0 }, { 135, -25.0 }, { 160, -20.0 }, { 300, -6.0 }, { 359, -0.1 },
        { 360, 0.0 } };
    for (const auto& r : rows)
        EXPECT_EQ(CPpmLevelTable::DbTable()[r.step], r.db) << "step " << r.step;
}

TEST(PpmLevelTable, BlockPeakFoldsNegativeSamplesAndKeepsChannelsApart)
{
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(-1), 0u);
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(-100), 99u);
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(-32768), 32767u);
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(32767), 32767u);
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
