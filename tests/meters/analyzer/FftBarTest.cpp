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
    // Level 360 never reaches the top row itself; 361 / (361 / 39) falls just short of 39 in double precision.
    EXPECT_EQ(std::tuple(bar.LevelY(0), bar.LevelY(260), bar.LevelY(360), bar.LevelY(39)), std::tuple(372, 112, 12, 334));
}

// Rows 12..61 over, 62..111 tween, 112..371 normal; a bar ending on the tween point is all normal.
TEST_F(FftBarTest, ZonesAndTheMarkersColour)
{
    const struct { unsigned level; int top; COLORREF topColor; } rows[] = { { 360, 12, params.m_crOver }, { 311, 61, params.m_crOver },
        { 310, 62, params.m_crTween }, { 261, 111, params.m_crTween }, { 260, 112, params.m_crNorm } };
    for (const auto& r : rows) {
        CFftBar fresh(&params, CRect(10, 11, 12, 372));
        dc.Resize(100, 400);
        fresh.Input(r.level);
        EXPECT_EQ(std::tuple(At(r.top - 1), At(r.top), At(371)), std::tuple(kEmptyBar, r.topColor, params.m_crNorm)) << r.level;
        EXPECT_EQ(std::pair(fresh.PeakY(), fresh.PeakColor()), std::pair(static_cast<unsigned>(r.top), r.topColor)) << r.level;
    }
    EXPECT_EQ(std::pair(dc.GetPixel(11, 200), dc.GetPixel(12, 200)), std::pair(params.m_crNorm, kEmptyBar)) << "full width, right edge excluded";
}

TEST_F(FftBarTest, LowerInputReleasesTheBarWhichFallsAboveItsTopAndKeepsThePeakLine)
{
    bar.Input(260);
    bar.Input(100);
    EXPECT_EQ(std::pair(bar.Level(), bar.DecayStep()), std::pair(260u, 2));
    bar.Decay(bar.DecayStep());
    EXPECT_EQ(bar.Level(), 258u);
    EXPECT_EQ(std::tuple(At(112), At(113), At(114)), std::tuple(params.m_crNorm, kEmptyBar, params.m_crNorm)) << "the peak line stays at the old top";
    params.m_bPeakDecay = 0; // with no peak mode the fall takes the line with it
    bar.Decay(2);
    EXPECT_EQ(std::tuple(At(112), At(115), At(116)), std::tuple(kEmptyBar, kEmptyBar, params.m_crNorm));
}

TEST_F(FftBarTest, PeakFallsOnePixelAndStopsOnTheBarTop)
{
    bar.Input(300); // top row 72
    bar.Input(0);
    for (int i = 0; i < 3; ++i)
        bar.Decay(2); // level 294, top 78
    ASSERT_EQ(bar.PeakY(), 72u);
    bar.PeakFall();
    EXPECT_EQ(std::pair(bar.PeakY(), At(72)), std::pair(73u, kEmptyBar)) << "the old line is erased";
    for (int i = 0; i < 10; ++i) bar.PeakFall();
    EXPECT_EQ(std::pair(bar.PeakY(), At(78)), std::pair(78u, params.m_crTween)) << "a marker at rest on the bar top erases nothing";
}

TEST_F(FftBarTest, TallBarMovesThePeakTwoPixelsButNeverIntoTheBar)
{
    CFftBar tall(&params, CRect(30, 0, 32, 722));
    tall.Input(360);
    tall.Input(0);
    tall.Decay(2); // 358: top 722 - 716 = 6, peak at 2
    std::vector<unsigned> peaks { tall.PeakY() };
    tall.PeakFall();
    peaks.push_back(tall.PeakY());
    tall.PeakFall();
    peaks.push_back(tall.PeakY());
    tall.Decay(0); // value holds: a 1-level fall would leave the peak one row short
    tall.PeakFall();
    peaks.push_back(tall.PeakY());
    EXPECT_EQ(peaks, (std::vector<unsigned> { 2, 4, 6, 6 }));
}

// Out-of-range values clamp without painting; a reset clears the marker and optionally the value.
TEST_F(FftBarTest, ClampAndReset)
{
    bar.SetLevel(400);
    bar.Draw();
    EXPECT_EQ(std::pair(bar.Level(), At(200)), std::pair(360u, kEmptyBar));
    bar.Input(300);
    bar.Reset(false);
    EXPECT_EQ(std::pair(bar.Level(), At(100)), std::pair(360u, params.m_crTween));
    bar.Reset(true);
    // A bar at 0 has its marker at the bottom: no line.
    EXPECT_EQ(std::tuple(bar.Level(), At(300), bar.PeakY()), std::tuple(0u, kEmptyBar, 372u));
}
