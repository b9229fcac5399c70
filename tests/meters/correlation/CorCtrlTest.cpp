#include "meters/common/MeterFonts.h"
#include "meters/correlation/CorConstants.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/correlation/CorEstimator.h"
#include "tests/common/FakeViewFrame.h"
#include "tests/meters/correlation/CorTestColours.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

// The raw value whose phase angle lies half a degree above `degrees`.
double RawForAngle(int degrees) { return std::cos((degrees + 0.5) * std::numbers::pi / 180.0); }

class CorCtrlTest : public ::testing::Test {
protected:
    // A control of the given outer size (the client area is 2 pixels
    // smaller), painted once.
    std::unique_ptr<CCorCtrl> Make(int width, int height, bool horizontal)
    {
        auto ctrl = std::make_unique<CCorCtrl>(nullptr, horizontal);
        ctrl->resize(width, height);
        ctrl->show();
        ctrl->PaintNow();
        return ctrl;
    }
    // Vertical, client 108 x 148: track (27, 16, 81, 132), centre row 74,
    // 116 pixels for 401 units.
    std::unique_ptr<CCorCtrl> MakeVertical() { return Make(110, 150, false); }
    // Horizontal, client 198 x 98: track (16, 33, 182, 71), centre column 99,
    // 166 pixels for 401 units.
    std::unique_ptr<CCorCtrl> MakeHorizontal() { return Make(200, 100, true); }

    static COLORREF Px(CCorCtrl& ctrl, int x, int y) { return ctrl.Dc().GetPixel(x, y); }
    static int CountColor(CCorCtrl& ctrl, const CRect& rc, COLORREF color)
    {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += Px(ctrl, x, y) == color ? 1 : 0;
        return n;
    }
    static int LeftmostColumn(CCorCtrl& ctrl, const CRect& rc, COLORREF color)
    {
        for (int x = rc.left; x < rc.right; ++x)
            for (int y = rc.top; y < rc.bottom; ++y)
                if (Px(ctrl, x, y) == color)
                    return x;
        return -1;
    }
};

} // namespace

TEST_F(CorCtrlTest, SmoothedEndsMapToTheOutermostPositions)
{
    auto ctrl = MakeVertical();
    ctrl->ShowCorrelation(1.0, 1.0);
    EXPECT_EQ(ctrl->Pos(), 200);
    ctrl->ShowCorrelation(-1.0, -1.0);
    EXPECT_EQ(ctrl->Pos(), -200);
    ctrl->ShowCorrelation(0.9975, 1.0);
    EXPECT_EQ(ctrl->Pos(), 199);
    ctrl->ShowCorrelation(-0.0049, 0.0);
    EXPECT_EQ(ctrl->Pos(), 0);
}

// Where each readout is drawn, as a user reads it: upright, the smallest
// angle above the track and the largest below it; lying, both above the
// track, the smallest at the +1 (right) end. The digits stay whole inside
// the control.
TEST_F(CorCtrlTest, ReadoutsAreDrawnOnTheirRows)
{
    struct Case {
        bool horizontal;
        int minAngle;
        int maxAngle;
        CRect minBox; // where the smallest angle's digits must lie
        CRect maxBox;
        CRect minRect; // the readout boxes, pinned to the row
        CRect maxRect;
    };
    const int th = QFontMetrics(CMeterFonts::Normal()).height();
    // Upright: client 108 x 148, track rows 16..131. Lying: client 198 x 98,
    // track rows 33..70, columns 16..181.
    const Case cases[] = {
        { false, 45, 135, CRect(0, 0, 108, 16), CRect(0, 132, 108, 148), CRect(25, 1, 83, 1 + th), CRect(25, 136, 83, 146) },
        { true, 45, 135, CRect(99, 0, 198, 33 - th), CRect(0, 0, 99, 33 - th), CRect(157, 27 - 2 * th, 177, 27 - th),
            CRect(31, 27 - 2 * th, 51, 27 - th) },
    };
    for (const Case& c : cases) {
        auto ctrl = c.horizontal ? MakeHorizontal() : MakeVertical();
        const CRect client(0, 0, c.horizontal ? 198 : 108, c.horizontal ? 98 : 148);
        EXPECT_EQ(ctrl->MinAngleRect(), c.minRect);
        EXPECT_EQ(ctrl->MaxAngleRect(), c.maxRect);
        ctrl->ShowCorrelation(0.0, RawForAngle(c.minAngle));
        const int minDigits = CountColor(*ctrl, client, kCorCyan);
        EXPECT_GT(minDigits, 0) << c.horizontal;
        EXPECT_EQ(CountColor(*ctrl, c.minBox, kCorCyan), minDigits) << "smallest angle, lying " << c.horizontal;
        ctrl->ShowCorrelation(0.0, RawForAngle(c.maxAngle));
        const int bothDigits = CountColor(*ctrl, client, kCorCyan);
        EXPECT_GT(bothDigits, minDigits) << c.horizontal;
        EXPECT_EQ(CountColor(*ctrl, c.maxBox, kCorCyan), bothDigits - minDigits) << "largest angle, lying " << c.horizontal;
    }
}

TEST_F(CorCtrlTest, HorizontalTicksRunFromTheRightEnd)
{
    auto ctrl = MakeHorizontal();
    // Tick 0 at column 181, the outermost tick at the right end.
    EXPECT_EQ(Px(*ctrl, 181, 27), kCorGrey);
    EXPECT_EQ(Px(*ctrl, 181, 32), kCorGrey);
    EXPECT_EQ(Px(*ctrl, 181, 50), kCorBlack);
    EXPECT_EQ(Px(*ctrl, 181, 71), kCorGrey);
    EXPECT_EQ(Px(*ctrl, 181, 76), kCorGrey);
    EXPECT_EQ(Px(*ctrl, 181, 77), kCorBlack);
    // The left end (-1) at 99 - 82 = 17, the centre at 99.
    EXPECT_EQ(Px(*ctrl, 17, 30), kCorGrey);
    EXPECT_EQ(Px(*ctrl, 99, 30), kCorGrey);
}

TEST_F(CorCtrlTest, PlusOneLabelsSitAtThePositiveEnd)
{
    // "+1" has more lit pixels than "-1": it must be at the right end when
    // horizontal and at the top when vertical.
    auto h = MakeHorizontal();
    const int th = h->TextHeight();
    const CRect rightValue(171, 33 - th - 7, 191, 26);
    const CRect leftValue(7, 33 - th - 7, 27, 26);
    EXPECT_GT(CountColor(*h, rightValue, kCorScaleText), CountColor(*h, leftValue, kCorScaleText));
    EXPECT_GT(CountColor(*h, leftValue, kCorScaleText), 0);
    // The angle labels sit below the track, bottom 20 pixels past it.
    const CRect rightAngle(171, 71 + 20 - th, 191, 91);
    const CRect leftAngle(7, 71 + 20 - th, 27, 91);
    EXPECT_GT(CountColor(*h, rightAngle, kCorScaleText), 0);
    EXPECT_GT(CountColor(*h, leftAngle, kCorScaleText), CountColor(*h, rightAngle, kCorScaleText)) << "180 at the -1 end, 0 at +1";

    auto v = MakeVertical();
    const int tv = v->TextHeight();
    const CRect topValue(0, 17 - tv / 2, 21, 17 - tv / 2 + tv);
    const CRect bottomValue(0, 131 - tv / 2, 21, 131 - tv / 2 + tv);
    EXPECT_GT(CountColor(*v, topValue, kCorScaleText), CountColor(*v, bottomValue, kCorScaleText));
    EXPECT_GT(CountColor(*v, bottomValue, kCorScaleText), 0);
}

TEST_F(CorCtrlTest, VerticalZeroAngleLabelHasALeadingBlank)
{
    auto ctrl = MakeVertical();
    const int th = ctrl->TextHeight();
    // Angle labels are left-aligned one pixel into boxes starting at 87.
    const CRect zero(87, 17 - th / 2, 108, 17 - th / 2 + th);
    const CRect ninety(87, 74 - th / 2, 108, 74 - th / 2 + th);
    const int zeroStart = LeftmostColumn(*ctrl, zero, kCorScaleText);
    const int ninetyStart = LeftmostColumn(*ctrl, ninety, kCorScaleText);
    ASSERT_GE(ninetyStart, 88);
    EXPECT_GE(zeroStart - ninetyStart, 2) << "\" 0\" starts a blank's width further right than \"90\"";
}

TEST_F(CorCtrlTest, ShortTrackUsesTheSmallScaleFontButNotForReadouts)
{
    // Client 112 high: track 80, the normal font. One pixel less: small.
    auto normal = Make(110, 114, false);
    EXPECT_EQ(normal->ScaleFont(), CMeterFonts::Normal());
    EXPECT_EQ(normal->TextHeight(), QFontMetrics(CMeterFonts::Normal()).height());

    auto small = Make(110, 113, false);
    EXPECT_EQ(small->BarRect().Height(), 79);
    EXPECT_EQ(small->ScaleFont(), CMeterFonts::Small());
    EXPECT_EQ(small->TextHeight(), QFontMetrics(CMeterFonts::Small()).height());
    small->ShowCorrelation(0.5, -1.0);
    EXPECT_EQ(small->Dc().SelectedFont(), CMeterFonts::Normal()) << "readouts are drawn in the normal font";

    auto narrow = Make(113, 100, true);
    EXPECT_EQ(narrow->ScaleFont(), CMeterFonts::Small());
    auto wide = Make(114, 100, true);
    EXPECT_EQ(wide->ScaleFont(), CMeterFonts::Normal());
}

TEST_F(CorCtrlTest, OffScaleValuesDrawNothing)
{
    auto ctrl = MakeVertical();
    ctrl->ShowCorrelation(0.5, 0.5);
    ctrl->OnTimer(cor::kWatchdogTimerId);
    const QImage before = ctrl->BackBuffer().copy();
    ctrl->ShowCorrelation(1.0000001, -1.0);
    ctrl->ShowCorrelation(-1.5, -1.0);
    ctrl->ShowCorrelation(std::nan(""), -1.0);
    EXPECT_EQ(ctrl->Pos(), 0);
    EXPECT_EQ(ctrl->MaxAngle(), 0);
    EXPECT_FALSE(ctrl->IsWatchdogActive());
    EXPECT_EQ(ctrl->BackBuffer(), before);
}

TEST_F(CorCtrlTest, AngleReadoutsTrackTheExtremes)
{
    auto ctrl = MakeVertical();
    EXPECT_EQ(ctrl->MinAngle(), 180);
    EXPECT_EQ(ctrl->MaxAngle(), 0);
    ctrl->ShowCorrelation(0.0, RawForAngle(90));
    EXPECT_EQ(ctrl->MinAngle(), 180) << "90 degrees moves neither readout";
    EXPECT_EQ(ctrl->MaxAngle(), 0);
    ctrl->ShowCorrelation(0.0, RawForAngle(89));
    EXPECT_EQ(ctrl->MinAngle(), 89);
    EXPECT_EQ(ctrl->MaxAngle(), 0);
    ctrl->ShowCorrelation(0.0, RawForAngle(91));
    EXPECT_EQ(ctrl->MaxAngle(), 91);
    ctrl->ShowCorrelation(0.0, RawForAngle(120));
    ctrl->ShowCorrelation(0.0, RawForAngle(100));
    EXPECT_EQ(ctrl->MaxAngle(), 120) << "the largest stays";
    ctrl->ShowCorrelation(0.0, RawForAngle(30));
    ctrl->ShowCorrelation(0.0, RawForAngle(60));
    EXPECT_EQ(ctrl->MinAngle(), 30) << "the smallest stays";
}

TEST_F(CorCtrlTest, RawValuesPastTheEndsReadAsTheEnds)
{
    auto ctrl = MakeVertical();
    ctrl->ShowCorrelation(1.0, 1.0000002);
    EXPECT_EQ(ctrl->MinAngle(), 0);
    ctrl->ShowCorrelation(-1.0, -1.0000002);
    EXPECT_EQ(ctrl->MaxAngle(), 180);
    ctrl->ShowCorrelation(0.0, std::nan(""));
    EXPECT_EQ(ctrl->MinAngle(), 0);
    EXPECT_EQ(ctrl->MaxAngle(), 180);
}

TEST_F(CorCtrlTest, BothChannelsSilentSettlesGreenAtPlusOne)
{
    auto ctrl = MakeVertical();
    CCorEstimator estimator;
    std::array<std::int16_t, 2 * CCorEstimator::kFrames> silence {};
    for (int i = 0; i < 300; ++i) {
        const CCorReading reading = estimator.Estimate(silence.data());
        ctrl->ShowCorrelation(reading.smoothed, reading.raw);
    }
    EXPECT_EQ(ctrl->Pos(), 200);
    EXPECT_EQ(Px(*ctrl, 54, 17), kCorGreen);
    EXPECT_EQ(ctrl->MinAngle(), 0);
    EXPECT_EQ(ctrl->MaxAngle(), 0);
    EXPECT_GT(CountColor(*ctrl, ctrl->MinAngleRect(), kCorCyan), 0) << "the minimum readout shows 0";
    EXPECT_EQ(CountColor(*ctrl, ctrl->MaxAngleRect(), kCorCyan), 0) << "the maximum readout stays blank";
}

TEST_F(CorCtrlTest, OneSilentChannelSettlesYellowAtTheCentre)
{
    auto ctrl = MakeHorizontal();
    CCorEstimator estimator;
    std::array<std::int16_t, 2 * CCorEstimator::kFrames> window {};
    for (int i = 0; i < CCorEstimator::kFrames; ++i)
        window[2 * i] = static_cast<std::int16_t>(i % 64 < 32 ? 9000 : -9000);
    for (int i = 0; i < 300; ++i) {
        const CCorReading reading = estimator.Estimate(window.data());
        EXPECT_EQ(reading.raw, 0.0);
        ctrl->ShowCorrelation(reading.smoothed, reading.raw);
    }
    EXPECT_EQ(ctrl->Pos(), 0);
    EXPECT_EQ(Px(*ctrl, 99, 50), kCorYellow);
    EXPECT_EQ(ctrl->MinAngle(), 180);
    EXPECT_EQ(ctrl->MaxAngle(), 0);
}

TEST_F(CorCtrlTest, OppositeChannelsShowRedAndOneHundredEighty)
{
    auto ctrl = MakeHorizontal();
    ctrl->ShowCorrelation(-0.9999999, -1.0);
    EXPECT_EQ(ctrl->Pos(), -200);
    EXPECT_EQ(Px(*ctrl, 17, 50), kCorRed);
    EXPECT_EQ(ctrl->MaxAngle(), 180);
    EXPECT_GT(CountColor(*ctrl, ctrl->MaxAngleRect(), kCorCyan), 0);
    EXPECT_EQ(CountColor(*ctrl, ctrl->MinAngleRect(), kCorCyan), 0);
}

TEST_F(CorCtrlTest, ClickBlanksBothReadouts)
{
    auto ctrl = MakeVertical();
    ctrl->ShowCorrelation(0.0, RawForAngle(150));
    ctrl->ShowCorrelation(0.0, RawForAngle(10));
    ASSERT_GT(CountColor(*ctrl, ctrl->MinAngleRect(), kCorCyan), 0);
    ASSERT_GT(CountColor(*ctrl, ctrl->MaxAngleRect(), kCorCyan), 0);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 60), QPointF(40, 60), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ctrl.get(), &press);
    EXPECT_EQ(ctrl->MinAngle(), 180);
    EXPECT_EQ(ctrl->MaxAngle(), 0);
    EXPECT_EQ(CountColor(*ctrl, ctrl->MinAngleRect(), kCorCyan), 0);
    EXPECT_EQ(CountColor(*ctrl, ctrl->MaxAngleRect(), kCorCyan), 0);

    ctrl->ShowCorrelation(0.0, RawForAngle(45));
    EXPECT_EQ(ctrl->MinAngle(), 45);
}

TEST_F(CorCtrlTest, WatchdogReturnsThePointerToTheCentreAndStops)
{
    auto ctrl = MakeVertical();
    ctrl->ShowCorrelation(1.0, 1.0);
    EXPECT_TRUE(ctrl->IsWatchdogActive());
    ctrl->OnTimer(cor::kWatchdogTimerId);
    EXPECT_FALSE(ctrl->IsWatchdogActive());
    EXPECT_EQ(ctrl->Pos(), 0);
    EXPECT_EQ(Px(*ctrl, 54, 74), kCorYellow);
    EXPECT_EQ(Px(*ctrl, 54, 17), kCorBlack);
    // The next update arms it again.
    ctrl->ShowCorrelation(-0.5, -0.5);
    EXPECT_TRUE(ctrl->IsWatchdogActive());
}

TEST_F(CorCtrlTest, WatchdogFiresByItselfWithoutUpdates)
{
    auto ctrl = MakeVertical();
    ctrl->ShowCorrelation(1.0, 1.0);
    ASSERT_EQ(Px(*ctrl, 54, 17), kCorGreen);
    QElapsedTimer patience;
    patience.start();
    while (ctrl->IsWatchdogActive() && patience.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(ctrl->IsWatchdogActive());
    EXPECT_EQ(ctrl->Pos(), 0);
    EXPECT_EQ(Px(*ctrl, 54, 74), kCorYellow);
    EXPECT_EQ(Px(*ctrl, 54, 17), kCorBlack);
}

TEST_F(CorCtrlTest, UnmovedPointerIsNotRedrawn)
{
    auto ctrl = MakeVertical();
    ctrl->ShowCorrelation(1.0, 1.0);
    ctrl->Dc().SetPixel(54, 17, RGB(1, 2, 3));
    ctrl->ShowCorrelation(0.999, 1.0);
    EXPECT_EQ(ctrl->Pos(), 200);
    EXPECT_EQ(Px(*ctrl, 54, 17), RGB(1, 2, 3));
    EXPECT_TRUE(ctrl->IsWatchdogActive());
    // At the centre it is redrawn every time.
    ctrl->ShowCorrelation(0.0, 0.0);
    ctrl->Dc().SetPixel(54, 74, RGB(1, 2, 3));
    ctrl->ShowCorrelation(0.0, 0.0);
    EXPECT_EQ(Px(*ctrl, 54, 74), kCorYellow);
}

TEST_F(CorCtrlTest, OrientationChangeRepaintsTheOtherLayout)
{
    auto ctrl = Make(200, 150, false);
    ctrl->ShowCorrelation(1.0, 1.0);
    ctrl->SetHorizontal(true);
    EXPECT_TRUE(ctrl->IsInvalid());
    ctrl->PaintNow();
    EXPECT_EQ(ctrl->BarRect(), CRect(16, 33, 182, 121));
    // Repainted from scratch: the pointer drawn at the stored position.
    EXPECT_EQ(Px(*ctrl, 180, 80), kCorGreen);
    EXPECT_EQ(Px(*ctrl, 99, 80), kCorBlack);
}

TEST_F(CorCtrlTest, OnStateReachesCaptionAndCapture)
{
    auto ctrl = MakeVertical();
    CFakeViewFrame frame;
    ctrl->SetOn(1);
    EXPECT_TRUE(ctrl->IsOnForCapture());
    ctrl->SetFrame(&frame);
    EXPECT_EQ(frame.m_meterOnCalls, std::vector<int>({ 1 })) << "a new frame shows the state at once";
    ctrl->SetOn(0);
    EXPECT_FALSE(ctrl->IsOnForCapture());
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
}

TEST_F(CorCtrlTest, MinimisingPausesAndRestoresTheOnState)
{
    auto ctrl = MakeVertical();
    CFakeViewFrame frame;
    ctrl->SetFrame(&frame);
    ctrl->SetOn(1);
    frame.m_meterOnCalls.clear();

    ctrl->NotifyMinimized(true);
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_FALSE(ctrl->IsOnForCapture());
    ctrl->NotifyMinimized(true);
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsOn(), 0) << "still paused while one pause is left";
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsOn(), 1);
    EXPECT_TRUE(ctrl->IsOnForCapture());
    EXPECT_EQ(frame.m_meterOnCalls, std::vector<int>({ 0, 1 }));
    EXPECT_EQ(ctrl->IsSwitchedOn(), 1);

    // Switched while paused: kept for the resume, still off until then.
    ctrl->NotifyMinimized(true);
    ctrl->SetOn(0);
    EXPECT_EQ(ctrl->IsSwitchedOn(), 0);
    ctrl->SetOn(1);
    EXPECT_EQ(ctrl->IsSwitchedOn(), 1);
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_FALSE(ctrl->IsOnForCapture());
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsOn(), 1);

    // A resume without a pause changes nothing.
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsOn(), 1);
    ctrl->NotifyMinimized(true);
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsOn(), 1);
}

TEST_F(CorCtrlTest, ContextMenuShowsTheStates)
{
    auto ctrl = MakeVertical();
    ctrl->SetOn(1);
    std::unique_ptr<QMenu> menu = ctrl->BuildContextMenu();
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("On"));
    EXPECT_EQ(items[0]->data().toInt(), 400);
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QStringLiteral("Horizontal"));
    EXPECT_EQ(items[2]->data().toInt(), 410);
    EXPECT_FALSE(items[2]->isChecked());

    ctrl->SetOn(0);
    ctrl->SetHorizontal(true);
    menu = ctrl->BuildContextMenu();
    EXPECT_FALSE(menu->actions()[0]->isChecked());
    EXPECT_TRUE(menu->actions()[2]->isChecked());
}
