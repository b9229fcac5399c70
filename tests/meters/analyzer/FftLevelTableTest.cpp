#include "meters/analyzer/FftLevelTable.h"

#include <gtest/gtest.h>

TEST(FftLevelTable, DbTableHasCoarseFloorThenFineSteps)
{
    EXPECT_DOUBLE_EQ(CFftLevelTable::Db(0), -96.0);
    EXPECT_DOUBLE_EQ(CFftLevelTable::Db(1), -90.0);
    EXPECT_DOUBLE_EQ(CFftLevelTable::Db(9), -71.22);
    EXPECT_DOUBLE_EQ(CFftLevelTable::Db(10), -70.0);
    // Stored as the decimals themselves, not as a sum of 0.2 steps.
    EXPECT_EQ(CFftLevelTable::Db(11), -69.8);
    EXPECT_EQ(CFftLevelTable::Db(160), -40.0);
    EXPECT_EQ(CFftLevelTable::Db(260), -20.0);
    EXPECT_EQ(CFftLevelTable::Db(310), -10.0);
    EXPECT_EQ(CFftLevelTable::Db(359), -0.2);
    EXPECT_EQ(CFftLevelTable::Db(360), 0.0);
}

TEST(FftLevelTable, TellingAmplitudesMapToTheirLevels)
{
    const CFftLevelTable table;
    EXPECT_EQ(table.Level(0), 0u);
    EXPECT_EQ(table.Level(1), 1u);
    EXPECT_EQ(table.Level(9), 9u);
    // -70.0, -69.8 and -69.6 dB all cut to an amplitude of 10: the highest wins.
    EXPECT_EQ(table.Level(10), 12u);
    // -69.4 to -68.8 dB all cut to 11.
    EXPECT_EQ(table.Level(11), 16u);
    EXPECT_EQ(table.Level(327), 160u);   // -40 dB
    EXPECT_EQ(table.Level(3276), 260u);  // -20 dB
    EXPECT_EQ(table.Level(10362), 310u); // -10 dB
    EXPECT_EQ(table.Level(10361), 309u);
}

TEST(FftLevelTable, OnlyFullScaleReachesZeroDb)
{
    const CFftLevelTable table;
    EXPECT_EQ(table.Level(32767), 360u);
    EXPECT_EQ(table.Level(32766), 359u);
    // Band amplitudes above full scale (a DC offset, two summed halves) clamp.
    EXPECT_EQ(table.Level(32768), 360u);
    EXPECT_EQ(table.Level(4000000000u), 360u);
}

TEST(FftLevelTable, EveryAmplitudeHasALevelAndLevelsNeverFall)
{
    const CFftLevelTable table;
    unsigned previous = 0;
    for (std::uint32_t a = 0; a < 32768; ++a) {
        const unsigned level = table.Level(a);
        ASSERT_GE(level, previous) << "amplitude " << a;
        ASSERT_LE(level, 360u);
        previous = level;
    }
}
