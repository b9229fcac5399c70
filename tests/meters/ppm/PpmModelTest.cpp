#include "meters/ppm/PpmLevelTable.h"
#include "meters/ppm/PpmModel.h"
#include "tests/meters/ppm/PpmLevels.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
using namespace ppmlevel;

// The ticks (1-based) on which channel 0 fell, or on which the markers were due.
std::vector<int> RunTicks(CPpmModel& model, int ticks, bool markers = false)
{
    std::vector<int> due;
    for (int t = 1; t <= ticks; ++t) {
        const unsigned before = model.Channel(0).level;
        const bool peakFall = model.Tick().peakFall;
        if (markers ? peakFall : model.Channel(0).level != before)
            due.push_back(t);
    }
    return due;
}
}

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

// A negative sample folds onto the magnitude one below its own: -1 reads as silence, -32768 as full scale.
TEST(PpmLevelTable, BlockPeakFoldsNegativeSamples)
{
    for (const auto& [sample, magnitude] : { std::pair { -1, 0u }, { -100, 99u }, { -32768, 32767u }, { 32767, 32767u } })
        EXPECT_EQ(CPpmLevelTable::FoldedMagnitude(static_cast<std::int16_t>(sample)), magnitude) << sample;
}

// Bars fall on the decay time's cadence, two steps above step 10 and one below;
// markers are due every second (third when slow) tick, with peak decay only.
TEST(PpmModel, BarsAndMarkersFallOnTheDecayTimesCadence)
{
    const struct { unsigned decay; std::vector<int> falls, markers; } rows[] = {
        { ppm::kDecayFast, { 1, 2, 3, 4, 5, 6 }, { 2, 4, 6 } }, { ppm::kDecayMedium, { 2, 4, 6 }, { 2, 4, 6 } },
        { ppm::kDecaySlow, { 3, 6 }, { 3, 6 } } };
    for (const auto& row : rows) {
        CPpmModel model;
        model.SetDecayTime(row.decay);
        model.Input(kMinus6Db, 0);
        EXPECT_TRUE(RunTicks(model, 6).empty()) << "a raised bar holds while no lower peak comes";
        model.Input(0, 0); // a lower peak: the bar may fall
        EXPECT_EQ(RunTicks(model, 6), row.falls) << "decay " << row.decay;
        CPpmModel markers;
        markers.SetPeakDecay(true);
        markers.SetDecayTime(row.decay);
        EXPECT_EQ(RunTicks(markers, 6, true), row.markers) << "decay " << row.decay;
        markers.SetPeakDecay(false);
        EXPECT_TRUE(RunTicks(markers, 6, true).empty());
    }
    for (const auto& [from, to] : { std::pair { 300u, 298u }, { 11u, 9u }, { 10u, 9u }, { 1u, 0u }, { 0u, 0u } }) {
        CPpmChannel channel;
        channel.level = from;
        channel.Fall(channel.FallStep());
        EXPECT_EQ(channel.level, to) << "from " << from;
    }
}
