#include "meters/analyzer/FftLevelTable.h"

#include <gtest/gtest.h>

TEST(FftLevelTable, DbOfTellingLevelsStoredAsTheirDecimals)
{
    const struct {
        unsigned level;
        double db;
    } rows[] = { { 0, -96.0 }, { 1, -90.0 }, { 9, -71.22 }, { 10, -70.0 }, { 11, -69.8 }, { 160, -40.0 },
        { 260, -20.0 }, { 310, -10.0 }, { 359, -0.2 }, { 360, 0.0 } };
    for (const auto& r : rows)
        EXPECT_EQ(CFftLevelTable::Db(r.level), r.db) << "level " << r.level;
}

// Levels whose dB cut to the same amplitude belong to the highest of them
// (-70.0 .. -69.6 dB are all 10); only full scale reads 0 dB, anything above clamps.
TEST(FftLevelTable, TellingAmplitudesMapToTheirLevels)
{
    const struct {
        std::uint32_t amplitude;
        unsigned level;
    } rows[] = { { 0, 0 }, { 1, 1 }, { 9, 9 }, { 10, 12 }, { 11, 16 }, { 327, 160 }, { 3276, 260 }, { 10361, 309 },
        { 10362, 310 }, { 32766, 359 }, { 32767, 360 }, { 32768, 360 }, { 4000000000u, 360 } };
    const CFftLevelTable table;
    for (const auto& r : rows)
        EXPECT_EQ(table.Level(r.amplitude), r.level) << "amplitude " << r.amplitude;
}
