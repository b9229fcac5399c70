#include "meters/stereo/StereoGeometry.h"

#include <gtest/gtest.h>

namespace {
// The client area of the 200-pixel control the view creates (1-pixel border).
const CRect kClient198(0, 0, 198, 198);

class StereoGeometryTest : public ::testing::Test {
protected:
    void SetUp() override { geometry.CalcGeometry(kClient198); }
    CStereoGeometry geometry;
};
}

TEST_F(StereoGeometryTest, RotationIsJustShortOfAQuarterPi)
{
    EXPECT_NEAR(geometry.Sin(), 0.70710678, 5e-9);
    EXPECT_NEAR(geometry.Cos(), 0.70710678, 5e-9);
    EXPECT_LT(geometry.Sin(), geometry.Cos());
}

TEST_F(StereoGeometryTest, SpanTakesWholeQuartersOfTheWidth)
{
    EXPECT_EQ(geometry.Centre(), (StereoPoint { 99, 99 }));
    // 198 / 4 = 49 whole quarters, so 147 rather than 148.5.
    EXPECT_EQ(geometry.Span(), 147);
    geometry.CalcGeometry(CRect(10, 20, 212, 222));
    EXPECT_EQ(geometry.Span(), 150);
    EXPECT_EQ(geometry.Centre(), (StereoPoint { 111, 121 }));
    EXPECT_NEAR(geometry.Radius(), 150.0 * 5.0 / 11.0, 1e-9);
}

TEST_F(StereoGeometryTest, MonoLiesOnTheVertical)
{
    for (int v = -32768; v <= 32767; v += 97) {
        const StereoPoint p = geometry.Map(v, v);
        ASSERT_EQ(p.x, 99) << "sample " << v;
        if (v > 0) {
            ASSERT_LE(p.y, 99) << "a positive mono sample moves up";
        }
    }
    // Full scale: 66 whole pixels per channel, turned into 93 pixels above
    // (and below) the centre, about half the width.
    EXPECT_EQ(geometry.Map(32767, 32767), (StereoPoint { 99, 6 }));
    EXPECT_EQ(geometry.Map(-32768, -32768), (StereoPoint { 99, 192 }));
}

TEST_F(StereoGeometryTest, OppositePhaseLiesOnTheHorizontal)
{
    for (int v = -32767; v <= 32767; v += 97) {
        const StereoPoint p = geometry.Map(-v, v);
        ASSERT_EQ(p.y, 99) << "sample " << v;
    }
    // Right above left moves the point right.
    EXPECT_EQ(geometry.Map(-32767, 32767), (StereoPoint { 192, 99 }));
    EXPECT_EQ(geometry.Map(32767, -32767), (StereoPoint { 6, 99 }));
}

TEST_F(StereoGeometryTest, LeftAloneLiesOnTheUpperLeftDiagonal)
{
    for (int v = -32768; v <= 32767; v += 101) {
        const StereoPoint p = geometry.Map(v, 0);
        ASSERT_EQ(p.x - 99, p.y - 99) << "sample " << v;
    }
    const StereoPoint top = geometry.Map(32767, 0);
    EXPECT_LT(top.x, 99);
    EXPECT_LT(top.y, 99);
}

TEST_F(StereoGeometryTest, RightAloneLiesOnTheUpperRightDiagonal)
{
    for (int v = -32768; v <= 32767; v += 101) {
        const StereoPoint p = geometry.Map(0, v);
        ASSERT_EQ(p.x - 99, 99 - p.y) << "sample " << v;
    }
    const StereoPoint top = geometry.Map(0, 32767);
    EXPECT_GT(top.x, 99);
    EXPECT_LT(top.y, 99);
}

TEST_F(StereoGeometryTest, EachChannelIsCutToWholePixelsBeforeTurning)
{
    // 1422 is 2.9 pixel steps: cut to 2 pixels, turned to 1.41 and cut to 1.
    // Turning first would give 2.05 and land a pixel further out.
    EXPECT_EQ(geometry.Map(0, 1422), (StereoPoint { 100, 98 }));
    // Less than one step on either channel stays on the centre.
    EXPECT_EQ(geometry.Map(480, -480), (StereoPoint { 99, 99 }));
}

TEST(StereoGeometry, ATinyControlMapsEverythingOntoItsCentre)
{
    CStereoGeometry geometry;
    geometry.CalcGeometry(CRect(0, 0, 3, 3));
    EXPECT_EQ(geometry.Span(), 0);
    EXPECT_EQ(geometry.Map(32767, -32768), (StereoPoint { 1, 1 }));
}
