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

// Rows 12..61 over, 62..111 tween, 112..371 normal; a bar ending on the tween point is all normal.
TEST_F(FftBarTest, ZonesAndTheMarkersColour)
{
    EXPECT_EQ(std::tuple(bar.LevelY(0), bar.LevelY(260), bar.LevelY(360)), std::tuple(372, 112, 12));
    const struct {
        unsigned level;
        int top;
        COLORREF topColor;
    } rows[] = { { 360, 12, params.m_crOver }, { 311, 61, params.m_crOver }, { 310, 62, params.m_crTween },
        { 261, 111, params.m_crTween }, { 260, 112, params.m_crNorm } };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.level);
        CFftBar fresh(&params, CRect(10, 11, 12, 372));
        dc.Resize(100, 400);
        fresh.Input(r.level);
        EXPECT_EQ(std::tuple(At(r.top - 1), At(r.top), At(371)), std::tuple(kEmptyBar, r.topColor, params.m_crNorm));
        EXPECT_EQ(std::pair(fresh.PeakY(), fresh.PeakColor()), std::pair(static_cast<unsigned>(r.top), r.topColor));
    }
    EXPECT_EQ(std::pair(dc.GetPixel(11, 200), dc.GetPixel(12, 200)), std::pair(params.m_crNorm, kEmptyBar));
}
