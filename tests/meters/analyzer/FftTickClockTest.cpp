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

TEST(FftTickClock, BarsFallEveryFirstSecondOrThirdTick)
{
    EXPECT_EQ(RunTicks(10, false, 6).decay, (std::vector<int> { 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(RunTicks(20, false, 6).decay, (std::vector<int> { 2, 4, 6 }));
    EXPECT_EQ(RunTicks(30, false, 9).decay, (std::vector<int> { 3, 6, 9 }));
}

TEST(FftTickClock, PeaksFallEverySixthTickWhateverTheDecayTime)
{
    const std::vector<int> sixth { 6, 12, 18 };
    EXPECT_EQ(RunTicks(10, true, 18).peakFall, sixth);
    EXPECT_EQ(RunTicks(20, true, 18).peakFall, sixth);
    EXPECT_EQ(RunTicks(30, true, 18).peakFall, sixth);
    EXPECT_TRUE(RunTicks(10, false, 18).peakFall.empty());
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
