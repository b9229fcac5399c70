#include "meters/analyzer/FftTickClock.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
// The ticks (1-based) on which the bars fall and on which the markers fall.
struct Schedule {
    std::vector<int> decay;
    std::vector<int> peakFall;
};

Schedule RunTicks(int decayTime, bool peakDecay, int ticks)
{
    CFftTickClock clock;
    Schedule s;
    for (int t = 1; t <= ticks; ++t) {
        const CFftTickClock::Due due = clock.Advance(decayTime, peakDecay);
        if (due.decay) {
            s.decay.push_back(t);
            clock.Finish();
        }
        if (due.peakFall)
            s.peakFall.push_back(t);
    }
    return s;
}
}

// Bars fall every first, second or third tick by the decay time; markers
// every sixth whatever the decay time, and only with peak decay.
TEST(FftTickClock, BarsAndMarkersFallOnTheirCadence)
{
    const struct {
        int decayTime;
        bool peakDecay;
        std::vector<int> decay, peakFall;
    } rows[] = {
        { 10, true, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 }, { 6, 12 } },
        { 20, true, { 2, 4, 6, 8, 10, 12 }, { 6, 12 } },
        { 30, true, { 3, 6, 9, 12 }, { 6, 12 } },
        { 10, false, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 }, {} },
    };
    for (const auto& r : rows) {
        const Schedule s = RunTicks(r.decayTime, r.peakDecay, 12);
        EXPECT_EQ(s.decay, r.decay) << r.decayTime;
        EXPECT_EQ(s.peakFall, r.peakFall) << r.decayTime << " " << r.peakDecay;
    }
}

TEST(FftTickClock, TickWhileBusyIsDroppedWithoutCounting)
{
    CFftTickClock clock;
    ASSERT_TRUE(clock.Advance(10, false).decay); // busy until Finish
    EXPECT_FALSE(clock.Advance(10, false).decay);
    EXPECT_FALSE(clock.Advance(10, false).decay);
    clock.Finish();
    // Medium from an empty accumulator: the dropped ticks were not counted.
    EXPECT_FALSE(clock.Advance(20, false).decay);
    EXPECT_TRUE(clock.Advance(20, false).decay);
    clock.Finish();
}
