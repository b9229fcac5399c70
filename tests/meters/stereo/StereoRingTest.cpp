#include "meters/stereo/StereoRing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
StereoPoint Nth(int i) { return { i, -i }; }

std::vector<StereoPoint> Lit(const CStereoRing& ring)
{
    std::vector<StereoPoint> lit;
    ring.ForEachLit([&](const StereoPoint& p) { lit.push_back(p); });
    return lit;
}
}

TEST(StereoRing, NothingIsRemovedUntilTheRingWraps)
{
    CStereoRing ring;
    ASSERT_EQ(ring.Count(), 512);
    for (int i = 0; i < 511; ++i)
        ASSERT_EQ(ring.Push(Nth(i)), nullptr) << "point " << i;
    EXPECT_EQ(ring.LitCount(), 511);
    EXPECT_FALSE(ring.IsFull());

    // The 512th point wraps the ring; the very first point is now the oldest.
    const StereoPoint* oldest = ring.Push(Nth(511));
    ASSERT_NE(oldest, nullptr);
    EXPECT_EQ(*oldest, Nth(0));
    EXPECT_TRUE(ring.IsFull());
    EXPECT_EQ(ring.RingPos(), 0);
    EXPECT_EQ(ring.LitCount(), 511);
}

TEST(StereoRing, AfterTheWrapTheOldestTrailsByCountLessOne)
{
    CStereoRing ring;
    ring.SetCount(256);
    for (int i = 0; i < 2000; ++i) {
        const StereoPoint* oldest = ring.Push(Nth(i));
        if (i < 255) {
            ASSERT_EQ(oldest, nullptr);
        } else {
            ASSERT_NE(oldest, nullptr);
            ASSERT_EQ(*oldest, Nth(i - 255)) << "point " << i;
        }
        ASSERT_LT(ring.RingPos(), 256);
    }
    // Lit: the last 255 points, in slot order.
    const std::vector<StereoPoint> lit = Lit(ring);
    ASSERT_EQ(lit.size(), 255u);
    std::vector<int> ids;
    for (const StereoPoint& p : lit)
        ids.push_back(p.x);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids.front(), 2000 - 255);
    EXPECT_EQ(ids.back(), 1999);
}

TEST(StereoRing, LitPointsBeforeTheWrapAreTheSlotsWritten)
{
    CStereoRing ring;
    ring.Push(Nth(7));
    ring.Push(Nth(8));
    EXPECT_EQ(Lit(ring), (std::vector<StereoPoint> { Nth(7), Nth(8) }));
    ring.Reset();
    EXPECT_TRUE(Lit(ring).empty());
    EXPECT_EQ(ring.LitCount(), 0);
}

TEST(StereoRing, OnlyTheMenuCountsAreTaken)
{
    CStereoRing ring;
    ring.SetCount(1024);
    EXPECT_EQ(ring.Count(), 1024);
    ring.SetCount(256);
    EXPECT_EQ(ring.Count(), 256);
    for (int bad : { 5000, 1025, 0, -1, 1, 300 }) {
        ring.SetCount(bad);
        EXPECT_EQ(ring.Count(), 512) << "count " << bad;
    }
}

TEST(StereoRing, ANewCountRestartsTheRing)
{
    CStereoRing ring;
    ring.SetCount(1024);
    for (int i = 0; i < 1000; ++i)
        ring.Push(Nth(i));
    ring.SetCount(256);
    EXPECT_EQ(ring.RingPos(), 0);
    EXPECT_FALSE(ring.IsFull());
    for (int i = 0; i < 256; ++i)
        ring.Push(Nth(i));
    EXPECT_LT(ring.RingPos(), 256);
}
