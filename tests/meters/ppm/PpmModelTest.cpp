#include "meters/ppm/PpmModel.h"
#include "tests/meters/ppm/PpmLevels.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
using namespace ppmlevel;

// The ticks (1-based) on which channel 0 fell and on which the markers were due.
struct Cadence {
    std::vector<int> falls;
    std::vector<int> markerFalls;
};

Cadence RunTicks(CPpmModel& model, int ticks)
{
    Cadence c;
    for (int t = 1; t <= ticks; ++t) {
        const unsigned before = model.Channel(0).level;
        if (model.Tick().peakFall)
            c.markerFalls.push_back(t);
        if (model.Channel(0).level != before)
            c.falls.push_back(t);
    }
    return c;
}
}

TEST(PpmModel, MagnitudesReadTheirScaleSteps)
{
    const struct {
        unsigned magnitude;
        unsigned step;
        const char* readout;
    } rows[] = {
        { 0, 0, "" },
        { 1, 1, "-90.0" }, // a single +1 sample in a 16-bit file still shows
        { kMinus6Db, 300, "-6.0" },
        { kMinus1Db, 350, "-1.0" },
        { kMinus03Db, 357, "-0.3" },
        { kMinus02Db, 358, "-0.2" },
        { kFullScale, 360, "0" },
    };
    for (const auto& row : rows) {
        CPpmModel model;
        model.Input(row.magnitude, 0);
        EXPECT_EQ(model.Channel(0).level, row.step) << row.magnitude;
        EXPECT_EQ(model.Channel(0).maxLevel, row.step) << row.magnitude;
        EXPECT_EQ(CPpmModel::ReadoutText(model.Channel(0).maxLevel), row.readout) << row.magnitude;
        EXPECT_EQ(model.Channel(1).level, 0u) << "the other channel keeps its own level";
    }
    CPpmModel model;
    EXPECT_FALSE(model.Input(32768, 0)) << "beyond the table is no reading";
    EXPECT_EQ(model.Channel(0).level, 0u);
}

TEST(PpmModel, MaximumRisesByOneStepAfterATone)
{
    CPpmModel model;
    for (int block = 0; block < 200; ++block) {
        model.Input(kMinus03Db, 0);
        model.Tick();
    }
    ASSERT_EQ(model.Channel(0).maxLevel, 357u);
    model.Input(kMinus02Db, 0);
    EXPECT_EQ(model.Channel(0).maxLevel, 358u);
    model.Input(kMinus6Db, 0);
    for (int t = 0; t < 100; ++t)
        model.Tick();
    EXPECT_EQ(model.Channel(0).maxLevel, 358u) << "falls leave the maximum";
    model.RestartMaxima();
    EXPECT_EQ(model.Channel(0).maxLevel, model.Channel(0).level);
}

TEST(PpmModel, BarsFallOnTheDecayTimesCadenceTwoStepsAboveTenOneBelow)
{
    const struct {
        unsigned decay;
        std::vector<int> falls;
    } rows[] = {
        { ppm::kDecayFast, { 1, 2, 3, 4, 5, 6 } },
        { ppm::kDecayMedium, { 2, 4, 6 } },
        { ppm::kDecaySlow, { 3, 6 } },
    };
    for (const auto& row : rows) {
        CPpmModel model;
        model.SetDecayTime(row.decay);
        model.Input(kMinus6Db, 0);
        EXPECT_TRUE(RunTicks(model, 6).falls.empty()) << "a raised bar holds while no lower peak comes";
        model.Input(0, 0); // a lower peak: the bar may fall
        EXPECT_EQ(RunTicks(model, 6).falls, row.falls) << "decay " << row.decay;
    }
    const struct {
        unsigned from;
        unsigned to;
    } steps[] = { { 300, 298 }, { 11, 9 }, { 10, 9 }, { 1, 0 }, { 0, 0 } };
    for (const auto& s : steps) {
        CPpmChannel channel;
        channel.level = s.from;
        channel.Fall(channel.FallStep());
        EXPECT_EQ(channel.level, s.to) << "from " << s.from;
    }
}

TEST(PpmModel, MarkersAreDueEverySecondSecondThirdTickWithPeakDecayOnly)
{
    const struct {
        unsigned decay;
        bool peakDecay;
        std::vector<int> due;
    } rows[] = {
        { ppm::kDecayFast, true, { 2, 4, 6, 8, 10, 12 } },
        { ppm::kDecayMedium, true, { 2, 4, 6, 8, 10, 12 } },
        { ppm::kDecaySlow, true, { 3, 6, 9, 12 } },
        { ppm::kDecayFast, false, {} },
    };
    for (const auto& row : rows) {
        CPpmModel model;
        model.SetPeakDecay(row.peakDecay);
        model.SetDecayTime(row.decay);
        EXPECT_EQ(RunTicks(model, 12).markerFalls, row.due) << "decay " << row.decay;
    }
}

TEST(PpmModel, ModelsOfOneProgramShareTheTickAccumulatorOthersDoNot)
{
    CMeterTickShare program;
    CPpmModel a;
    CPpmModel b;
    a.SetTickShare(&program);
    b.SetTickShare(&program);
    // Medium: 20 units. One tick on each reaches it together.
    EXPECT_FALSE(a.Tick().decay);
    EXPECT_TRUE(b.Tick().decay);

    CPpmModel fresh;
    EXPECT_FALSE(fresh.Tick().decay) << "a model of another file starts from an empty accumulator";
    EXPECT_TRUE(fresh.Tick().decay);
}
