#include "meters/common/MeterFonts.h"
#include "meters/ppm/PpmScaleTable.h"
#include "tests/meters/ppm/PpmCtrlFixture.h"

#include <QFontMetrics>

namespace {
class PpmPaint : public PpmCtrlFixture {
protected:
    void SetUp() override { Make(150, 397); } // bars 361 pixels tall

    // Rows of bar 0 in the middle column, from `top` to `bottom` (exclusive).
    bool Rows(int top, int bottom, COLORREF c) const
    {
        const CRect& b = ctrl->Bar(0).m_rcBar;
        return All(CRect(b.left, top, b.right, bottom), c);
    }
};
}

TEST_F(PpmPaint, VerticalLayoutOfTwoBarsIn150By400)
{
    Make(150, 400);
    // (150 - 60) / 3 = 30 pixels thick, the first one 30 from the left.
    EXPECT_EQ(Bar(0).m_rcBar, CRect(30, 20, 60, 384));
    EXPECT_EQ(Bar(1).m_rcBar, CRect(90, 20, 120, 384));
    EXPECT_EQ(Bar(0).m_rcReadout, CRect(21, 2, 65, 16));
    EXPECT_EQ(Bar(1).m_rcReadout, CRect(85, 1, 129, 15));
}

TEST_F(PpmPaint, HorizontalLayoutOfTwoBarsIn300By124)
{
    Make(300, 124, 1);
    // (124 - 60) / 3 = 21 pixels thick, the first one 30 from the top.
    EXPECT_EQ(Bar(0).m_rcBar, CRect(16, 30, 270, 51));
    EXPECT_EQ(Bar(1).m_rcBar, CRect(16, 72, 270, 93));
    const int th = ctrl->TextHeight();
    EXPECT_EQ(Bar(0).m_rcReadout, CRect(272, 40 - th / 2, 300, 40 - th / 2 + th));
}

TEST_F(PpmPaint, BarEndingOnTheTweenPointIsAllNormal)
{
    Feed(kMinus6Db); // step 300 = the tween point
    const int end = Bar(0).EndOf(300);
    EXPECT_EQ(end, Bar(0).m_rcBar.bottom - 300);
    EXPECT_TRUE(Rows(end, Bar(0).m_rcBar.bottom, kGreen));
    EXPECT_TRUE(Rows(Bar(0).m_rcBar.top, end, kBlack));
    EXPECT_EQ(Bar(0).m_crPeak, kGreen);
    // The held marker is drawn in that colour on the bar's top row.
    ctrl->SetPeakHold(1);
    Feed(kMinus6Db);
    ctrl->OnTimer();
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, Bar(0).m_nPeakY), kGreen);
}

TEST_F(PpmPaint, BarEndingOnTheOverPointIsTweenAtTheTop)
{
    Feed(kMinus1Db); // step 350 = the over point
    const int end = Bar(0).EndOf(350);
    const int tween = Bar(0).EndOf(300);
    EXPECT_TRUE(Rows(end, tween, kYellow));
    EXPECT_TRUE(Rows(tween, Bar(0).m_rcBar.bottom, kGreen));
    EXPECT_FALSE(Any(Bar(0).m_rcBar, kRed));
    EXPECT_EQ(Bar(0).m_crPeak, kYellow);
}

TEST_F(PpmPaint, FullScaleShowsThreeZonesAndReadsZeroInTheOverColour)
{
    Feed(kFullScale);
    const CRect& b = Bar(0).m_rcBar;
    const int end = b.bottom - 360, over = b.bottom - 350, tween = b.bottom - 300;
    EXPECT_TRUE(Rows(tween, b.bottom, kGreen)) << "normal up to -6 dB";
    EXPECT_TRUE(Rows(over, tween, kYellow)) << "tween up to -1 dB";
    EXPECT_TRUE(Rows(end, over, kRed)) << "over to the top";
    EXPECT_EQ(Bar(0).m_crPeak, kRed);
    EXPECT_TRUE(Any(Bar(0).m_rcReadout, kRed));
    EXPECT_FALSE(Any(Bar(0).m_rcReadout, kCyan));
    EXPECT_TRUE(Any(Bar(1).m_rcReadout, kRed));
}

TEST_F(PpmPaint, LevelZeroPaintsNothingAndBlanksTheReadout)
{
    Feed(kMinus6Db);
    ASSERT_TRUE(Any(Bar(0).m_rcReadout, kCyan));
    ctrl->ResetBars(-1, 1);
    ctrl->OnLButtonDown(Bar(0).m_rcReadout.left + 1, Bar(0).m_rcReadout.top + 1);
    Feed(0);
    EXPECT_TRUE(All(Bar(0).m_rcBar, kBlack));
    EXPECT_TRUE(All(Bar(0).m_rcReadout, kBlack));
    EXPECT_TRUE(All(Bar(1).m_rcReadout, kBlack));
}

TEST_F(PpmPaint, FallBlackensOnlyAboveTheNewEnd)
{
    ctrl->SetDecayTime(10);
    ctrl->SetPeakDecay(0);
    Feed(kMinus1Db);
    Feed(0);
    ctrl->OnTimer();
    ASSERT_EQ(Bar(0).Level(), 348u);
    const int end = Bar(0).EndOf(348);
    EXPECT_EQ(end, Bar(0).m_rcBar.bottom - 348);
    EXPECT_TRUE(Rows(Bar(0).m_rcBar.top, end, kBlack));
    EXPECT_TRUE(Rows(end, Bar(0).EndOf(300), kYellow));
    EXPECT_TRUE(Rows(Bar(0).EndOf(300), Bar(0).m_rcBar.bottom, kGreen));
}

TEST_F(PpmPaint, DecayingMarkerIsDrawnAboveTheFallenBar)
{
    ctrl->SetDecayTime(10);
    ctrl->SetPeakDecay(1);
    Feed(kFullScale);
    Feed(0);
    Ticks(10);
    const int marker = Bar(0).m_nPeakY;
    EXPECT_LT(marker, Bar(0).EndOf(Bar(0).Level()));
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, marker), kRed);
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, marker - 1), kBlack) << "the old marker row was erased";
}

TEST_F(PpmPaint, HorizontalBarGrowsFromTheLeft)
{
    Make(300, 124, 1);
    Feed(kFullScale);
    const CRect& b = Bar(0).m_rcBar;
    const int tween = Bar(0).EndOf(300), over = Bar(0).EndOf(350), end = Bar(0).EndOf(360);
    EXPECT_TRUE(All(CRect(b.left, b.top, tween, b.bottom), kGreen));
    EXPECT_TRUE(All(CRect(tween, b.top, over, b.bottom), kYellow));
    EXPECT_TRUE(All(CRect(over, b.top, end, b.bottom), kRed));
    EXPECT_TRUE(All(CRect(end, b.top, b.right, b.bottom), kBlack));
    EXPECT_EQ(Bar(0).m_nPeakX, end);
}

TEST_F(PpmPaint, LayoutFontSwitchesAtClientHeight250)
{
    const int small = QFontMetrics(CMeterFonts::Small()).height();
    const int normal = QFontMetrics(CMeterFonts::Normal()).height();
    ASSERT_NE(small, normal);
    Make(150, 249);
    EXPECT_EQ(ctrl->TextHeight(), small);
    Make(150, 250);
    EXPECT_EQ(ctrl->TextHeight(), normal);
}

TEST_F(PpmPaint, VerticalReadoutFontSwitchesAtClientWidth104)
{
    Make(103, 300);
    EXPECT_EQ(ctrl->Dc().SelectedFont(), ctrl->SmallFont());
    Make(104, 300);
    EXPECT_EQ(ctrl->Dc().SelectedFont(), ctrl->NormalFont());
}

TEST_F(PpmPaint, VerticalScaleHasTicksInTheMarginsOnlyAndLabels)
{
    const CRect& b0 = Bar(0).m_rcBar;
    const CRect& b1 = Bar(1).m_rcBar;
    const COLORREF grey = RGB(128, 128, 128);
    const int y = Bar(0).EndOf(260); // the -10 dB tick
    EXPECT_EQ(Pixel(24, y), grey);
    EXPECT_EQ(Pixel(b0.left - 1, y), grey);
    EXPECT_EQ(Pixel((b0.right + b1.left) / 2, y), grey) << "in the gap";
    EXPECT_EQ(Pixel(b0.left, y), kBlack) << "not inside a bar";
    EXPECT_EQ(Pixel(23, y - 1), kBlack);
    // "-10" beside it on both sides, in the scale colour.
    const int th = ctrl->TextHeight();
    EXPECT_TRUE(Any(CRect(0, y - th / 2, 24, y - th / 2 + th), RGB(192, 192, 255)));
    EXPECT_TRUE(Any(CRect(150 - 24, y - th / 2, 150, y - th / 2 + th), RGB(192, 192, 255)));
    // The base line runs under the bars; the "db" captions sit on it in the side columns.
    EXPECT_TRUE(All(CRect(24, b0.bottom, 150 - 24, b0.bottom + 1), grey));
    EXPECT_TRUE(Any(CRect(0, b0.bottom - th / 2, 24, b0.bottom - th / 2 + th), RGB(192, 192, 255)));
    // Channel letters under the bars.
    EXPECT_TRUE(Any(CRect(b0.left, b0.bottom + 2, b0.right, b0.bottom + 2 + th), RGB(192, 192, 255)));
    EXPECT_TRUE(Any(CRect(b1.left, b0.bottom + 2, b1.right, b0.bottom + 2 + th), RGB(192, 192, 255)));
}

TEST_F(PpmPaint, HorizontalTopLabelReadsBlankZero)
{
    Make(300, 124, 1);
    const int x = Bar(0).EndOf(360) - 1;
    const CRect label(x - 6, 7, x + 6, 19);
    // The same label box drawn alone with " 0" and with "0".
    auto render = [&](const QString& text) {
        CDrawContext dc;
        dc.Resize(300, 124);
        dc.SelectFont(ctrl->Dc().SelectedFont());
        dc.SetBkColor(kBlack);
        dc.SetTextColor(RGB(192, 192, 255));
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.ExtTextOut(x - 2, 7, ETO_OPAQUE | ETO_CLIPPED, &label, text);
        return dc.Image().copy(label.ToQRect());
    };
    const QImage shown = ctrl->BackBuffer().copy(label.ToQRect());
    // The tick line runs through the box; compare the text left of it.
    const QRect textPart(0, 0, label.Width() - 7, label.Height());
    EXPECT_EQ(shown.copy(textPart), render(QStringLiteral(" 0")).copy(textPart));
    EXPECT_NE(shown.copy(textPart), render(QStringLiteral("0")).copy(textPart));
}

TEST_F(PpmPaint, OrientationChangeLeavesNoTraceOfTheOldScale)
{
    Make(300, 300);
    const int y = Bar(0).EndOf(260);
    ASSERT_EQ(Pixel(24, y), RGB(128, 128, 128));
    ctrl->SetHorizontal(1);
    Settle();
    // Left of the horizontal bars, between the label rows, only the letters may be drawn.
    EXPECT_TRUE(All(CRect(0, 24, 16 - 13, 300 - 24), kBlack));
}
