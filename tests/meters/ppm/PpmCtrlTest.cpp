#include "meters/ppm/PpmCtrl.h"
#include "tests/common/FakeViewFrame.h"
#include "tests/common/MeterPixels.h"
#include "tests/meters/ppm/PpmLevels.h"

#include <QCoreApplication>
#include <QMenu>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
using namespace ppmlevel;
constexpr COLORREF kGreen = RGB(0, 192, 0), kYellow = RGB(255, 255, 0), kRed = RGB(255, 0, 0), kBlack = RGB(0, 0, 0),
                   kCyan = RGB(0, 255, 255);

class PpmCtrlTest : public ::testing::Test {
protected:
    void SetUp() override { Make(150, 397); } // bars 361 pixels tall: one row per step

    // `clientWidth` x `clientHeight` inside the one-pixel border, painted and settled.
    std::unique_ptr<CPpmCtrl> NewCtrl(int clientWidth, int clientHeight, int horizontal)
    {
        auto made = std::make_unique<CPpmCtrl>();
        made->SetFrame(&frame);
        made->Create(2, 0, 0, clientWidth + 2, clientHeight + 2, 4711, horizontal);
        made->PaintNow();
        QCoreApplication::sendPostedEvents(); // the click the paint posts
        return made;
    }
    void Make(int width, int height, int horizontal = 0) { ctrl = NewCtrl(width, height, horizontal); }
    void Feed(unsigned magnitude) { ctrl->SetValue(magnitude, -1); }
    void Ticks(int n) { while (n-- > 0) ctrl->OnTimer(); }
    COLORREF Pixel(int x, int y) const { return ctrl->Dc().GetPixel(x, y); }
    bool Any(const CRect& rc, COLORREF c) const { return CountPixels(ctrl->Dc(), rc, c) > 0; }
    CPpmBar& Bar(unsigned i) { return ctrl->Bar(i); }
    // The colour of bar 0 at `pos` along its length (a row, or a column when horizontal).
    COLORREF At(int pos) { return ctrl->IsHorizontal() ? Pixel(pos, Bar(0).m_rcBar.top) : Pixel(Bar(0).m_rcBar.left, pos); }
    // The menu's items as (text, id), submenus inline after their title; only the checked ones if asked.
    std::vector<std::pair<QString, int>> MenuItems(bool checkedOnly = false)
    {
        std::vector<std::pair<QString, int>> items;
        const std::unique_ptr<QMenu> menu = ctrl->BuildContextMenu();
        for (QAction* a : menu->actions()) {
            for (QAction* s : QList<QAction*> { a } + (a->menu() ? a->menu()->actions() : QList<QAction*>())) {
                if (!s->isSeparator() && (s->isChecked() || !checkedOnly))
                    items.emplace_back(s->text(), s->data().toInt());
            }
        }
        return items;
    }
    std::pair<unsigned, unsigned> Levels(unsigned bar) { return { Bar(bar).Level(), Bar(bar).MaxLevel() }; }

    CFakeViewFrame frame;
    std::unique_ptr<CPpmCtrl> ctrl;
};
}

TEST_F(PpmCtrlTest, LayoutOfTwoBarsVerticalAndHorizontal)
{
    Make(150, 400); // (150 - 60) / 3 = 30 pixels thick, the first 30 from the left
    EXPECT_EQ(std::tuple(Bar(0).m_rcBar, Bar(1).m_rcBar), std::tuple(CRect(30, 20, 60, 384), CRect(90, 20, 120, 384)));
    EXPECT_EQ(std::tuple(Bar(0).m_rcReadout, Bar(1).m_rcReadout), std::tuple(CRect(21, 2, 65, 16), CRect(85, 1, 129, 15)));
    Make(300, 124, 1); // (124 - 60) / 3 = 21 pixels thick, the first 30 from the top
    EXPECT_EQ(std::tuple(Bar(0).m_rcBar, Bar(1).m_rcBar), std::tuple(CRect(16, 30, 270, 51), CRect(16, 72, 270, 93)));
    const int th = ctrl->TextHeight();
    EXPECT_EQ(Bar(0).m_rcReadout, CRect(272, 40 - th / 2, 300, 40 - th / 2 + th));
}

// A bar ending on a zone point is all of the zone below it; the marker takes the top zone's colour.
TEST_F(PpmCtrlTest, ZonesAndMarkerColourInBothOrientations)
{
    const struct { unsigned magnitude, step; COLORREF top; } rows[] = { { kMinus6Db, 300, kGreen }, { kMinus1Db, 350, kYellow }, { kFullScale, 360, kRed } };
    for (int horizontal : { 0, 1 }) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::to_string(horizontal) + " " + std::to_string(row.step));
            horizontal ? Make(300, 124, 1) : Make(150, 397);
            Feed(kMinus6Db); // rising by steps paints only what each step adds
            Feed(row.magnitude);
            auto inside = [&](int pos) { return At(horizontal ? pos - 1 : pos); };
            auto beyond = [&](int pos) { return At(horizontal ? pos : pos - 1); };
            const int end = Bar(0).EndOf(row.step), tween = Bar(0).EndOf(300);
            if (!horizontal) { EXPECT_EQ(end, Bar(0).m_rcBar.bottom - static_cast<int>(row.step)); }
            EXPECT_EQ(std::tuple(inside(end), beyond(end), inside(tween), beyond(tween)), std::tuple(row.top, kBlack, kGreen, row.step > 300 ? kYellow : kBlack));
            EXPECT_EQ(std::tuple(Bar(0).m_crPeak, Bar(0).PeakPos()), std::tuple(row.top, end));
            EXPECT_EQ(Any(Bar(0).m_rcReadout, kRed), row.step == 360) << "only full scale reads in the over colour";
            EXPECT_EQ(Any(Bar(1).m_rcReadout, kCyan), row.step < 360);
        }
    }
}

TEST_F(PpmCtrlTest, FallBlackensOnlyAboveTheNewEndTheMarkerStaysAboveAndARiseRestoresTheBar)
{
    ctrl->SetDecayTime(10);
    Feed(kFullScale);
    Feed(0);
    ctrl->OnTimer();
    ASSERT_EQ(Bar(0).Level(), 358u);
    EXPECT_EQ(std::pair(At(Bar(0).EndOf(358) - 1), At(Bar(0).EndOf(358))), std::pair(kBlack, kRed));
    Ticks(9);
    const int marker = Bar(0).m_nPeakY;
    EXPECT_LT(marker, Bar(0).EndOf(Bar(0).Level()));
    EXPECT_EQ(std::pair(At(marker), At(marker - 1)), std::pair(kRed, kBlack)) << "the old marker row was erased";
    Feed(kFullScale); // rising again paints only the strip it adds: the bar must look as one drawn afresh
    const std::unique_ptr<CPpmCtrl> fresh = NewCtrl(150, 397, 0);
    fresh->SetValue(kFullScale, -1);
    const QRect bar = Bar(0).m_rcBar.ToQRect();
    EXPECT_EQ(ctrl->BackBuffer().copy(bar), fresh->BackBuffer().copy(bar));
}

TEST_F(PpmCtrlTest, ClickOnAReadoutRestartsBothMaximaClickElsewhereAndResetsKeepThem)
{
    ctrl->SetDecayTime(10);
    Feed(kMinus6Db);
    ctrl->SetValue(kMinus1Db, 1);
    Feed(0);
    Ticks(20); // both bars have fallen 40 steps since their peaks
    ASSERT_EQ(Levels(1), std::pair(310u, 350u));
    const CRect& b = Bar(0).m_rcBar;
    ctrl->OnLButtonDown((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    ctrl->ResetBars(-1, 0);
    EXPECT_EQ(std::tuple(Levels(0), Levels(1), Bar(0).ReadoutText()), std::tuple(std::pair(260u, 300u), std::pair(310u, 350u), QStringLiteral("-6.0")));
    ctrl->OnLButtonDown(Bar(1).m_rcReadout.right - 1, Bar(1).m_rcReadout.bottom - 1);
    EXPECT_EQ(std::tuple(Levels(0), Levels(1), Bar(0).ReadoutText()), std::tuple(std::pair(260u, 260u), std::pair(310u, 310u), QStringLiteral("-10.0")));
    ctrl->ResetBars(-1, 1);
    EXPECT_EQ(Levels(0), std::pair(0u, 260u));
    ctrl->OnLButtonDown(Bar(0).m_rcReadout.left + 1, Bar(0).m_rcReadout.top + 1);
    Feed(0);
    EXPECT_EQ(Bar(0).ReadoutText(), QString()) << "level zero blanks the readout";
    EXPECT_FALSE(Any(Bar(0).m_rcBar, kGreen) || Any(Bar(0).m_rcReadout, kCyan) || Any(Bar(1).m_rcReadout, kCyan));
}

// A maximum one step higher that lands on the same pixel is still reprinted.
TEST_F(PpmCtrlTest, ReadoutRisesByOneStepThatSharesAPixelWithTheLastAndARepaintPrintsItAgain)
{
    Make(98, 286); // the first-run client: bars about 250 pixels for 361 steps
    ASSERT_EQ(Bar(0).EndOf(357), Bar(0).EndOf(358));
    for (int block = 0; block < 200; ++block, ctrl->OnTimer()) Feed(kMinus03Db);
    const QRect r = Bar(0).m_rcReadout.ToQRect();
    const QImage before = ctrl->BackBuffer().copy(r);
    Feed(kMinus02Db);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-0.2"));
    const QImage risen = ctrl->BackBuffer().copy(r);
    EXPECT_NE(risen, before);
    ctrl->Invalidate(); // a full repaint blackens the readout, which is drawn only when its text changes
    ctrl->PaintNow();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ctrl->BackBuffer().copy(r), risen);
}

TEST_F(PpmCtrlTest, MenuItemsIdsAndCheckMarksFollowTheOptions)
{
    const std::vector<std::pair<QString, int>> expected = { { "On", 450 }, { "Horizontal", 460 }, { "Peak Hold", 430 },
        { "Peak Decay", 440 }, { "Decay Time", 0 }, { "Fast", 400 }, { "Medium", 410 }, { "Slow", 420 },
        { "Ballistics", 0 }, { "Digital Peak", 480 }, { "True Peak", 481 }, { "IEC Type I (DIN)", 482 },
        { "IEC Type I (Nordic)", 483 }, { "IEC Type II (BBC)", 484 }, { "IEC Type II (EBU)", 485 }, { "Colors...", 470 } };
    EXPECT_EQ(MenuItems(), expected);
    using Checked = std::vector<std::pair<QString, int>>;
    EXPECT_EQ(MenuItems(true), (Checked { { "Peak Decay", 440 }, { "Medium", 410 }, { "Digital Peak", 480 } }));
    for (int command : { 430, 400, 485 }) // Peak Hold, Fast, IEC Type II (EBU)
        ctrl->OnCommand(command);
    ctrl->SetOn(1);
    ctrl->SetHorizontal(1);
    EXPECT_EQ(MenuItems(true), (Checked { { "On", 450 }, { "Horizontal", 460 }, { "Peak Hold", 430 }, { "Fast", 400 },
                                   { "IEC Type II (EBU)", 485 } }));
    EXPECT_FALSE(ctrl->OnCommand(405)) << "ids between the items are ignored";
}

TEST_F(PpmCtrlTest, InADbModeTheBarsFollowTheReadingsOfThatModeOnly)
{
    Feed(kMinus6Db);
    ctrl->OnCommand(484); // IEC Type II (BBC)
    EXPECT_EQ(Bar(0).Level(), 0u) << "a new mode starts from silence";
    Feed(kFullScale);
    EXPECT_EQ(Bar(0).Level(), 0u) << "block peaks are not this mode's reading";
    const float minus6[2] = { 0.5f, 0.5f }, silence[2] = { 0, 0 }, overFullScale[2] = { 2.0f, 2.0f };
    ctrl->SetLevels(minus6, 0.01, 2); // measured before the change, in DIN
    EXPECT_EQ(Bar(0).Level(), 0u);
    ctrl->SetLevels(minus6, 0.01, 4);
    Ticks(50); // ticks leave the bar to the reading
    EXPECT_EQ(CPpmLevelTable::DbTable()[Bar(1).Level()], -6.1) << "the highest step at or below -6.02 dB";
    EXPECT_EQ(At(Bar(0).EndOf(Bar(0).Level())), kGreen);
    // The return paints the fall: 24 dB in 2.8 s, so 1.4 s later -18 dB.
    ctrl->SetLevels(silence, 1.4, -1);
    EXPECT_NEAR(CPpmLevelTable::DbTable()[Bar(0).Level()], -18.0, 0.6);
    EXPECT_EQ(At(Bar(0).EndOf(280)), kBlack) << "what fell (here -8 dB) is black";
    EXPECT_EQ(At(Bar(0).EndOf(Bar(0).Level())), kGreen);
    ctrl->SetLevels(overFullScale, 0.01, -1);
    EXPECT_EQ(Bar(0).Level(), 360u) << "a true peak above full scale fills the bar";
}
