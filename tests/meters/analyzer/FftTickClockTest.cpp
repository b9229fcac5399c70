#include "meters/analyzer/FftTickClock.h"

#include <gtest/gtest.h>
#include <vector>

// Bars fall every first, second or third tick by the decay time; markers
// every sixth whatever the decay time, and only with peak decay.
TEST(FftTickClock, BarsAndMarkersFallOnTheirCadence)
{
    const std::vector<int> everyTick { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    const struct {
        int decayTime;
        bool peakDecay;
        std::vector<int> decay, peakFall;
    } rows[] = { { 10, true, everyTick, { 6, 12 } }, { 20, true, { 2, 4, 6, 8, 10, 12 }, { 6, 12 } },
        { 30, true, { 3, 6, 9, 12 }, { 6, 12 } }, { 10, false, everyTick, {} } };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.decayTime << " " << r.peakDecay);
        CFftTickClock clock;
        std::vector<int> decay, peakFall;
        for (int t = 1; t <= 12; ++t) {
            const CFftTickClock::Due due = clock.Advance(r.decayTime, r.peakDecay);
            if (due.decay) {
                decay.push_back(t);
                clock.Finish();
            }
            if (due.peakFall)
                peakFall.push_back(t);
        }
        EXPECT_EQ(std::pair(decay, peakFall), std::pair(r.decay, r.peakFall));
    }
}
