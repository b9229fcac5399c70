#include "meters/stereo/StereoGeometry.h"

#include <gtest/gtest.h>

namespace {
// The client area of the 200-pixel control the view creates (1-pixel border).
class StereoGeometryTest : public ::testing::Test {
protected:
    void SetUp() override { geometry.CalcGeometry(CRect(0, 0, 198, 198)); }
    CStereoGeometry geometry;
};
}

TEST_F(StereoGeometryTest, ScaleTakesWholeQuartersOfTheWidthAndTurnsJustShortOfAQuarterPi)
{
    EXPECT_NEAR(geometry.Sin(), 0.70710678, 5e-9);
    EXPECT_NEAR(geometry.Cos(), 0.70710678, 5e-9);
    EXPECT_LT(geometry.Sin(), geometry.Cos());
    EXPECT_EQ(geometry.Centre(), (StereoPoint { 99, 99 }));
    // 198 / 4 = 49 whole quarters, so 147 rather than 148.5.
    EXPECT_EQ(geometry.Span(), 147);
    geometry.CalcGeometry(CRect(10, 20, 212, 222));
    EXPECT_EQ(geometry.Span(), 150);
    EXPECT_EQ(geometry.Centre(), (StereoPoint { 111, 121 }));
}

TEST_F(StereoGeometryTest, MonoLiesOnTheVerticalAndOppositePhaseOnTheHorizontal)
{
    for (int v = -32767; v <= 32767; v += 97) {
        ASSERT_EQ(geometry.Map(v, v).x, 99) << "sample " << v;
        ASSERT_EQ(geometry.Map(-v, v).y, 99) << "sample " << v;
    }
    // Full scale: 66 whole pixels per channel, turned into 93 pixels from
    // the centre, about half the width; up for mono, right for R above L.
    EXPECT_EQ(geometry.Map(32767, 32767), (StereoPoint { 99, 6 }));
    EXPECT_EQ(geometry.Map(-32768, -32768), (StereoPoint { 99, 192 }));
    EXPECT_EQ(geometry.Map(-32767, 32767), (StereoPoint { 192, 99 }));
}

TEST_F(StereoGeometryTest, EachChannelAloneLiesOnItsDiagonal)
{
    for (int v = -32768; v <= 32767; v += 101) {
        const StereoPoint left = geometry.Map(v, 0);
        ASSERT_EQ(left.x - 99, left.y - 99) << "sample " << v;
        const StereoPoint right = geometry.Map(0, v);
        ASSERT_EQ(right.x - 99, 99 - right.y) << "sample " << v;
    }
    // "L" at the upper left, "R" at the upper right.
    EXPECT_LT(geometry.Map(32767, 0).x, 99);
    EXPECT_GT(geometry.Map(0, 32767).x, 99);
    EXPECT_LT(geometry.Map(0, 32767).y, 99);
}

TEST_F(StereoGeometryTest, EachChannelIsCutToWholePixelsBeforeTurning)
{
    // 1422 is 2.9 pixel steps: cut to 2 pixels, turned to 1.41 and cut to 1.
    // Turning first would give 2.05 and land a pixel further out.
    EXPECT_EQ(geometry.Map(0, 1422), (StereoPoint { 100, 98 }));
    // Less than one step on either channel stays on the centre.
    EXPECT_EQ(geometry.Map(480, -480), (StereoPoint { 99, 99 }));
}
