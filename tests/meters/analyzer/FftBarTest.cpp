#include "meters/analyzer/FftBar.h"

#include "platform/DrawContext.h"

#include <gtest/gtest.h>

namespace {
constexpr COLORREF kEmptyBar = RGB(0, 0, 0);

// One bar 2 pixels wide, 361 rows high (top 11, bottom 372).
class FftBarTest : public ::testing::Test {
protected:
    FftBarTest()
    {
        dc.Resize(100, 400);
        params.m_pLevelTable = &levels;
        params.m_pDc = &dc;
    }
    COLORREF At(int y) const { return dc.GetPixel(10, y); }

    CFftLevelTable levels;
    CDrawContext dc;
    FftBarParams params;
    CFftBar bar { &params, CRect(10, 11, 12, 372) };
};
}

TEST_F(FftBarTest, LevelRowsFollowTheBarHeight)
{
    EXPECT_EQ(bar.LevelY(0), 372);
    EXPECT_EQ(bar.LevelY(260), 112);
    EXPECT_EQ(bar.LevelY(360), 12); // never the top row itself
    // 361 / (361 / 39) falls just short of 39 in double precision.
    EXPECT_EQ(bar.LevelY(39), 334);
}

// Rows 12..61 over, 62..111 tween, 112..371 normal; a bar ending on the tween point is all normal.
TEST_F(FftBarTest, ZonesAndTheMarkersColour)
{
    const struct { unsigned level; int top; COLORREF topColor; } rows[] = { { 360, 12, params.m_crOver }, { 311, 61, params.m_crOver }, { 310, 62, params.m_crTween },
        { 261, 111, params.m_crTween }, { 260, 112, params.m_crNorm } };
    for (const auto& r : rows) {
        CFftBar fresh(&params, CRect(10, 11, 12, 372));
        dc.Resize(100, 400);
        fresh.Input(r.level);
        EXPECT_EQ(At(r.top - 1), kEmptyBar) << r.level;
        EXPECT_EQ(At(r.top), r.topColor) << r.level;
        EXPECT_EQ(At(371), params.m_crNorm) << r.level;
        EXPECT_EQ(fresh.PeakY(), static_cast<unsigned>(r.top));
        EXPECT_EQ(fresh.PeakColor(), r.topColor) << r.level;
    }
    EXPECT_EQ(dc.GetPixel(11, 200), params.m_crNorm) << "full width";
    EXPECT_EQ(dc.GetPixel(12, 200), kEmptyBar) << "right edge excluded";
}

TEST_F(FftBarTest, LowerInputReleasesTheBarWhichFallsAboveItsTopAndKeepsThePeakLine)
{
    bar.Input(260);
    bar.Input(100);
    EXPECT_EQ(bar.Level(), 260u);
    EXPECT_EQ(bar.DecayStep(), 2);
    bar.Decay(bar.DecayStep());
    EXPECT_EQ(bar.Level(), 258u);
    EXPECT_EQ(At(112), params.m_crNorm); // the peak line stays at the old top
    EXPECT_EQ(At(113), kEmptyBar);
    EXPECT_EQ(At(114), params.m_crNorm);
    params.m_bPeakDecay = 0; // with no peak mode the fall takes the line with it
    bar.Decay(2);
    EXPECT_EQ(At(112), kEmptyBar);
    EXPECT_EQ(At(115), kEmptyBar);
    EXPECT_EQ(At(116), params.m_crNorm);
}

TEST_F(FftBarTest, PeakFallsOnePixelAndStopsOnTheBarTop)
{
    bar.Input(300); // top row 72
    bar.Input(0);
    for (int i = 0; i < 3; ++i)
        bar.Decay(2); // level 294, top 78
    ASSERT_EQ(bar.PeakY(), 72u);
    bar.PeakFall();
    EXPECT_EQ(bar.PeakY(), 73u);
    EXPECT_EQ(At(72), kEmptyBar); // the old line is erased
    for (int i = 0; i < 10; ++i)
        bar.PeakFall();
    EXPECT_EQ(bar.PeakY(), 78u);
    EXPECT_EQ(At(78), params.m_crTween) << "a marker at rest on the bar top erases nothing";
}

TEST_F(FftBarTest, TallBarMovesThePeakTwoPixelsButNeverIntoTheBar)
{
    CFftBar tall(&params, CRect(30, 0, 32, 722));
    tall.Input(360);
    tall.Input(0);
    tall.Decay(2); // 358: top 722 - 716 = 6, peak at 2
    const unsigned top = static_cast<unsigned>(tall.LevelY(tall.Level()));
    ASSERT_EQ(tall.PeakY(), 2u);
    tall.PeakFall();
    EXPECT_EQ(tall.PeakY(), 4u);
    tall.PeakFall();
    EXPECT_EQ(tall.PeakY(), top);
    tall.Decay(0); // value holds: a 1-level fall would leave the peak one row short
    tall.PeakFall();
    EXPECT_EQ(tall.PeakY(), top);
}

// Out-of-range values clamp without painting; a reset clears the marker and optionally the value.
TEST_F(FftBarTest, ClampAndReset)
{
    bar.SetLevel(400);
    bar.Draw();
    EXPECT_EQ(bar.Level(), 360u);
    EXPECT_EQ(At(200), kEmptyBar);
    bar.Input(300);
    bar.Reset(false);
    EXPECT_EQ(bar.Level(), 360u);
    EXPECT_EQ(At(100), params.m_crTween);
    bar.Reset(true);
    EXPECT_EQ(bar.Level(), 0u);
    EXPECT_EQ(At(300), kEmptyBar);
    EXPECT_EQ(bar.PeakY(), 372u); // a bar at 0 has its marker at the bottom: no line
}
