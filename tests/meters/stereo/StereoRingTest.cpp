#include "meters/stereo/StereoRing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
StereoPoint Nth(int i) { return { i, -i }; }
}

TEST(StereoRing, OnceWrappedTheOldestTrailsByCountLessOne)
{
    CStereoRing ring;
    ring.SetCount(256);
    for (int i = 0; i < 2000; ++i) {
        const StereoPoint* oldest = ring.Push(Nth(i));
        if (i < 255) {
            ASSERT_EQ(oldest, nullptr) << "nothing is removed before the wrap";
        } else {
            ASSERT_NE(oldest, nullptr);
            ASSERT_EQ(*oldest, Nth(i - 255)) << "point " << i;
        }
        ASSERT_LT(ring.RingPos(), 256);
    }
    // Lit: the last 255 points.
    std::vector<int> lit;
    ring.ForEachLit([&](const StereoPoint& p) { lit.push_back(p.x); });
    std::sort(lit.begin(), lit.end());
    ASSERT_EQ(lit.size(), 255u);
    EXPECT_EQ(lit.front(), 2000 - 255);
    EXPECT_EQ(lit.back(), 1999);
}

TEST(StereoRing, OnlyTheMenuCountsAreTakenAndANewCountRestarts)
{
    CStereoRing ring;
    EXPECT_EQ(ring.Count(), 512);
    for (int i = 0; i < 600; ++i)
        ring.Push(Nth(i));
    ring.SetCount(1024);
    EXPECT_EQ(ring.Count(), 1024);
    EXPECT_EQ(ring.LitCount(), 0);
    EXPECT_FALSE(ring.IsFull());
    for (int bad : { 5000, 1025, 0, -1, 300 }) {
        ring.SetCount(bad);
        EXPECT_EQ(ring.Count(), 512) << "count " << bad;
    }
}
