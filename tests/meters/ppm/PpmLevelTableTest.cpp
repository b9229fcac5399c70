#include "meters/ppm/PpmLevelTable.h"

#include <gtest/gtest.h>

namespace {
class LevelTable : public ::testing::Test {
protected:
    CPpmLevelTable table;
};
}

TEST_F(LevelTable, TellingRowsMapMagnitudesToTheirSteps)
{
    struct Row {
        unsigned magnitude;
        unsigned step;
    };
    const Row rows[] = { { 0, 0 }, { 1, 1 }, { 9, 9 }, { 10, 10 }, { 32, 20 }, { 327, 60 }, { 3276, 160 },
        { 10362, 260 }, { 16422, 300 }, { 29204, 350 }, { 32392, 359 }, { 32766, 359 }, { 32767, 360 } };
    for (const Row& r : rows)
        EXPECT_EQ(table.Step(r.magnitude), r.step) << "magnitude " << r.magnitude;
}

TEST_F(LevelTable, MagnitudesBelowEachTellingRowStayOneStepLower)
{
    // The row boundaries are exact: one less than the threshold is the step below.
    EXPECT_EQ(table.Step(31), 19);
    EXPECT_EQ(table.Step(326), 59);
    EXPECT_EQ(table.Step(3275), 159);
    EXPECT_EQ(table.Step(16421), 299);
    EXPECT_EQ(table.Step(29203), 349);
    EXPECT_EQ(table.Step(32391), 358);
}

TEST_F(LevelTable, TheFirstTenMagnitudesMapOneToOne)
{
    for (unsigned k = 0; k < 10; ++k)
        EXPECT_EQ(table.Step(k), k);
}

TEST_F(LevelTable, RisesMonotonicallyAndOnlyFullScaleReachesZeroDb)
{
    ASSERT_EQ(table.Size(), 32768u);
    unsigned previous = 0;
    for (unsigned k = 0; k < table.Size(); ++k) {
        const unsigned step = table.Step(k);
        ASSERT_GE(step, previous) << "magnitude " << k;
        ASSERT_LE(step, 360u);
        if (k < 32767) {
            ASSERT_LT(step, 360u) << "magnitude " << k;
        }
        previous = step;
    }
}

TEST(DbTable, RowsMeetAtTheirSharedSteps)
{
    const auto& db = CPpmLevelTable::DbTable();
    EXPECT_DOUBLE_EQ(db[0], -96.0);
    EXPECT_DOUBLE_EQ(db[1], -90.0);
    EXPECT_DOUBLE_EQ(db[3], -80.76);
    EXPECT_DOUBLE_EQ(db[9], -71.22);
    EXPECT_DOUBLE_EQ(db[10], -70.0);
    EXPECT_DOUBLE_EQ(db[20], -60.0);
    EXPECT_DOUBLE_EQ(db[21], -59.5);
    EXPECT_DOUBLE_EQ(db[60], -40.0);
    EXPECT_DOUBLE_EQ(db[61], -39.8);
    EXPECT_DOUBLE_EQ(db[85], -35.0);
    EXPECT_DOUBLE_EQ(db[135], -25.0);
    EXPECT_DOUBLE_EQ(db[160], -20.0);
    EXPECT_DOUBLE_EQ(db[300], -6.0);
    EXPECT_DOUBLE_EQ(db[359], -0.1);
    EXPECT_DOUBLE_EQ(db[360], 0.0);
}

TEST(BlockPeak, NegativeSamplesFoldToTheirComplement)
{
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(-1), 0u);
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(-32768), 32767u);
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(32767), 32767u);
    EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(-100), 99u);
}

TEST(BlockPeak, EachChannelKeepsItsOwnLargestMagnitude)
{
    std::int16_t block[1024];
    for (int f = 0; f < 512; ++f) {
        block[2 * f] = -1;    // left: constant -1 reads as silence
        block[2 * f + 1] = static_cast<std::int16_t>(f % 7 - 3);
    }
    block[2 * 300 + 1] = -32768;
    EXPECT_EQ(CPpmLevelTable::BlockPeak(block, 512, 0), 0u);
    EXPECT_EQ(CPpmLevelTable::BlockPeak(block, 512, 1), 32767u);
}
