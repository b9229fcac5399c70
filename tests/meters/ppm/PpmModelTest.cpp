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

// The readout shows the maximum's step in dB; the level table's own rows are checked with the table.
TEST(PpmModel, MagnitudesReadTheirStepsOnTheirChannelOnly)
{
    const struct { unsigned magnitude, step; const char* readout; } rows[] = { { 0, 0, "" },
        { 1, 1, "-90.0" }, // a single +1 sample in a 16-bit file still shows
        { kMinus6Db, 300, "-6.0" }, { kMinus02Db, 358, "-0.2" }, { kFullScale, 360, "0" } };
    for (const auto& row : rows) {
        CPpmModel model;
        model.Input(row.magnitude, 0);
        EXPECT_EQ(std::tuple(model.Channel(0).level, model.Channel(0).maxLevel, model.Channel(1).level),
                  std::tuple(row.step, row.step, 0u)) << row.magnitude;
        EXPECT_EQ(CPpmModel::ReadoutText(model.Channel(0).maxLevel), row.readout) << row.magnitude;
    }
    CPpmModel model;
    EXPECT_FALSE(model.Input(32768, 0)) << "beyond the table is no reading";
    EXPECT_EQ(model.Channel(0).level, 0u);
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

TEST(PpmModel, ModelsOfOneProgramShareTheTickAccumulatorOthersDoNot)
{
    CMeterTickShare program;
    CPpmModel a, b, fresh;
    a.SetTickShare(&program);
    b.SetTickShare(&program);
    // Medium: 20 units. One tick on each reaches it together.
    EXPECT_FALSE(a.Tick().decay);
    EXPECT_TRUE(b.Tick().decay);
    EXPECT_FALSE(fresh.Tick().decay) << "a model of another file starts from an empty accumulator";
    EXPECT_TRUE(fresh.Tick().decay);
}
