// The correlation sums read a window several frames at a time: a frame
// must count once, in its own channel, wherever it falls in the window,
// including the frames after the last whole group.
#include "meters/correlation/CorEstimator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(CorSumLanes, OneLoudFrameCountsOnceInItsChannelWhereverItFalls)
{
    constexpr int kFrames = 11; // two groups of four and three frames more
    for (int at = 0; at < kFrames; ++at) {
        std::vector<std::int16_t> window(2 * kFrames, 0);
        window[static_cast<std::size_t>(2 * at)] = -20000; // left
        window[static_cast<std::size_t>(2 * at + 1)] = 300; // right
        const CCorSums sums = CCorEstimator::SumWindow(window.data(), kFrames);
        EXPECT_EQ(sums.ll, 400000000) << "frame " << at;
        EXPECT_EQ(sums.rr, 90000) << "frame " << at;
        EXPECT_EQ(sums.lr, -6000000) << "frame " << at;
        EXPECT_EQ(sums.peakLeft, 19999) << "frame " << at << ": -20000 folds to 19999";
        EXPECT_EQ(sums.peakRight, 300) << "frame " << at;
    }
}
