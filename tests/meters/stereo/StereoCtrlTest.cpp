#include "meters/stereo/StereoCtrl.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {
using Pixel = std::pair<int, int>;

class StereoCtrlTest : public ::testing::Test {
protected:
    void SetUp() override { Make(kCreateSize); }

    // A control as the view creates it: a square at (1, 1), painted.
    void Make(int size)
    {
        ctrl = std::make_unique<CStereoCtrl>();
        ctrl->Create(nullptr, kCreateOffset, kCreateOffset, size, kStereoCtrlId);
        ctrl->PaintNow();
        baseline = ctrl->BackBuffer().copy();
    }

    // Pixels that differ from the freshly painted picture.
    std::set<Pixel> Changed() const
    {
        std::set<Pixel> changed;
        const QImage& now = ctrl->BackBuffer();
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != baseline.pixel(x, y))
                    changed.insert({ x, y });
        return changed;
    }
    // The pixel holds the fresh picture inverted with `color`.
    bool IsInverted(int x, int y, COLORREF color = kDefaultPointColor) const
    {
        const auto fresh = static_cast<std::uint32_t>(baseline.pixel(x, y));
        const auto now = static_cast<std::uint32_t>(ctrl->BackBuffer().pixel(x, y));
        return now == (fresh ^ (ToPixel(color) & 0x00FFFFFFu));
    }
    bool LooksFresh() const { return ctrl->BackBuffer() == baseline; }

    void PlotNoise(int count, unsigned seed)
    {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> sample(-32768, 32767);
        for (int i = 0; i < count; ++i)
            ctrl->PlotPoint(sample(random), sample(random));
    }

    std::unique_ptr<CStereoCtrl> ctrl;
    QImage baseline;
};

const int kCentre = 99; // of the 198-pixel client area
}

TEST_F(StereoCtrlTest, RasterHasDottedDiagonalsAndTheThreeLabels)
{
    const COLORREF grey = RGB(128, 128, 128);
    // From (20, 20) towards (178, 178), every other pixel; the end is left out.
    EXPECT_EQ(ctrl->Dc().GetPixel(20, 20), grey);
    EXPECT_EQ(ctrl->Dc().GetPixel(21, 21), RGB(0, 0, 0));
    EXPECT_EQ(ctrl->Dc().GetPixel(176, 176), grey);
    EXPECT_EQ(ctrl->Dc().GetPixel(178, 178), RGB(0, 0, 0));
    // From (178, 20) towards (20, 178).
    EXPECT_EQ(ctrl->Dc().GetPixel(178, 20), grey);
    EXPECT_EQ(ctrl->Dc().GetPixel(177, 21), RGB(0, 0, 0));
    EXPECT_EQ(ctrl->Dc().GetPixel(22, 176), grey);

    auto labelPixels = [&](const CRect& box) {
        int n = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                n += ctrl->Dc().GetPixel(x, y) == RGB(192, 192, 255);
        return n;
    };
    EXPECT_GT(labelPixels(CRect(0, 0, 18, 13)), 0) << "L";
    EXPECT_GT(labelPixels(CRect(180, 0, 198, 13)), 0) << "R";
    EXPECT_GT(labelPixels(CRect(90, 0, 108, 13)), 0) << "M";
    // Nothing of the labels outside their boxes.
    EXPECT_EQ(labelPixels(CRect(0, 13, 198, 198)), 0);
    EXPECT_EQ(labelPixels(CRect(18, 0, 90, 13)), 0);
    EXPECT_EQ(labelPixels(CRect(108, 0, 180, 13)), 0);
}

TEST_F(StereoCtrlTest, MonoDrawsAVerticalLineAndOppositePhaseAHorizontalOne)
{
    ctrl->SetPointSize(1);
    for (int k = -66; k <= 66; ++k)
        ctrl->PlotPoint(k * 491, k * 491);
    std::set<Pixel> changed = Changed();
    ASSERT_EQ(changed.size(), 133u);
    for (const Pixel& p : changed)
        EXPECT_EQ(p.first, kCentre);
    EXPECT_EQ(changed.begin()->second, kCentre - 93);
    EXPECT_EQ(changed.rbegin()->second, kCentre + 93);

    ctrl->EraseAllPoints();
    for (int k = -66; k <= 66; ++k)
        ctrl->PlotPoint(-k * 491, k * 491);
    changed = Changed();
    ASSERT_EQ(changed.size(), 133u);
    for (const Pixel& p : changed)
        EXPECT_EQ(p.second, kCentre);
}
TEST_F(StereoCtrlTest, EachChannelAloneDrawsItsLabelledDiagonal)
{
    ctrl->SetPointSize(1);
    for (int v = -32768; v <= 32767; v += 499)
        ctrl->PlotPoint(v, 0);
    std::set<Pixel> changed = Changed();
    ASSERT_GT(changed.size(), 40u);
    for (const Pixel& p : changed)
        ASSERT_EQ(p.first - kCentre, p.second - kCentre) << "left: upper left to lower right";
    EXPECT_LT(changed.begin()->first, kCentre - 40);
    EXPECT_GT(changed.rbegin()->first, kCentre + 40);

    ctrl->EraseAllPoints();
    ASSERT_TRUE(LooksFresh());
    for (int v = -32768; v <= 32767; v += 499)
        ctrl->PlotPoint(0, v);
    changed = Changed();
    ASSERT_GT(changed.size(), 40u);
    for (const Pixel& p : changed)
        ASSERT_EQ(p.first - kCentre, kCentre - p.second) << "right: upper right to lower left";
    EXPECT_LT(changed.begin()->first, kCentre - 40);
    EXPECT_GT(changed.rbegin()->first, kCentre + 40);
}

TEST_F(StereoCtrlTest, ThickPointsAreTwoByTwoAndThinOnesOnePixel)
{
    ctrl->PlotPoint(0, 16384);
    const StereoPoint at = ctrl->Geometry().Map(0, 16384);
    EXPECT_EQ(Changed(), (std::set<Pixel> { { at.x, at.y }, { at.x + 1, at.y }, { at.x, at.y + 1 }, { at.x + 1, at.y + 1 } }));
    EXPECT_TRUE(IsInverted(at.x + 1, at.y + 1));

    ctrl->SetPointSize(1);
    ASSERT_TRUE(LooksFresh()) << "the thick point is removed before the size changes";
    ctrl->OnCommand(ID_STM_THICK);
    EXPECT_EQ(ctrl->PointSize(), 2);
    ctrl->OnCommand(ID_STM_THICK);
    EXPECT_EQ(ctrl->PointSize(), 1);
    ctrl->PlotPoint(0, 16384);
    EXPECT_EQ(Changed(), (std::set<Pixel> { { at.x, at.y } }));
}

TEST_F(StereoCtrlTest, SilenceLeavesTheCentreLitOnceTheRingHasWrapped)
{
    // Two inversions cancel out...
    ctrl->PlotPoint(0, 0);
    ctrl->PlotPoint(0, 0);
    EXPECT_TRUE(LooksFresh());
    // ...but after the wrap 511 of them lie on the centre: an odd number.
    for (int i = 0; i < 600; ++i)
        ctrl->PlotPoint(0, 0);
    EXPECT_EQ(Changed(), (std::set<Pixel> { { 99, 99 }, { 100, 99 }, { 99, 100 }, { 100, 100 } }));
    EXPECT_TRUE(IsInverted(kCentre, kCentre));
    EXPECT_TRUE(IsInverted(kCentre + 1, kCentre + 1));
}

TEST_F(StereoCtrlTest, OneBlockOfEveryFrameReplacesTheWholeTrace)
{
    PlotNoise(512, 1);
    PlotNoise(512, 2);
    const QImage afterTwoBlocks = ctrl->BackBuffer().copy();

    Make(kCreateSize);
    PlotNoise(512, 2);
    EXPECT_EQ(ctrl->BackBuffer(), afterTwoBlocks) << "nothing of the first block is left";
}

TEST_F(StereoCtrlTest, After511PointsAreLitOnceTheRingWraps)
{
    // A large control, so 512 mono points fall on 512 different pixels.
    Make(1100);
    ctrl->SetPointSize(1);
    for (int k = -256; k < 256; ++k)
        ctrl->PlotPoint(k * 88, k * 88);
    const std::set<Pixel> changed = Changed();
    EXPECT_EQ(changed.size(), 511u);
    const StereoPoint first = ctrl->Geometry().Map(-256 * 88, -256 * 88);
    EXPECT_FALSE(changed.count({ first.x, first.y })) << "the oldest point was removed";
}

TEST_F(StereoCtrlTest, ErasingRemovesExactlyTheLitPoints)
{
    PlotNoise(300, 3);
    ASSERT_FALSE(LooksFresh());
    ctrl->EraseAllPoints();
    EXPECT_TRUE(LooksFresh());

    // After the wrap the slot at the write position is no longer lit: it must
    // not be inverted again.
    PlotNoise(700, 4);
    ctrl->EraseAllPoints();
    EXPECT_TRUE(LooksFresh());
    EXPECT_EQ(ctrl->Ring().LitCount(), 0);
}

TEST_F(StereoCtrlTest, ACountCommandRestartsTheTraceWithTheNewCount)
{
    PlotNoise(400, 5);
    ctrl->OnCommand(ID_STM_COUNT_256);
    EXPECT_TRUE(LooksFresh());
    PlotNoise(300, 6);
    EXPECT_EQ(ctrl->Ring().LitCount(), 255);
    ctrl->OnCommand(ID_STM_COUNT_1024);
    EXPECT_EQ(ctrl->Count(), 1024);
}
TEST_F(StereoCtrlTest, StepCommandsReachTheCapture)
{
    ctrl->OnCommand(ID_STM_EVERY_4);
    EXPECT_EQ(ctrl->DecimationForCapture(), 2);
    ctrl->OnCommand(ID_STM_EVERY_2);
    EXPECT_EQ(ctrl->DecimationForCapture(), 1);
    ctrl->SetDecimation(7);
    EXPECT_EQ(ctrl->DecimationForCapture(), 0) << "no mode outside 0..2 reaches the hub";
}
TEST_F(StereoCtrlTest, AClickClearsTheTrace)
{
    PlotNoise(200, 7);
    const QPointF inside(50, 50);
    QMouseEvent press(QEvent::MouseButtonPress, inside, ctrl->mapToGlobal(inside), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ctrl.get(), &press);
    EXPECT_TRUE(LooksFresh());
    EXPECT_EQ(ctrl->Ring().LitCount(), 0);
}

TEST_F(StereoCtrlTest, ResizingRestartsTheTraceOnTheNewGeometry)
{
    PlotNoise(200, 8);
    ctrl->MoveWindow(CRect(1, 1, 301, 301));
    EXPECT_EQ(ctrl->Ring().LitCount(), 0);
    EXPECT_EQ(ctrl->Geometry().Centre(), (StereoPoint { 149, 149 }));
    EXPECT_EQ(ctrl->Geometry().Span(), 222);
    ctrl->PaintNow();
    EXPECT_EQ(ctrl->Dc().GetPixel(278, 20), RGB(128, 128, 128)) << "the raster of the new size";
}

TEST_F(StereoCtrlTest, ANewColourLeavesNoPointOfTheOldOne)
{
    const COLORREF red = RGB(255, 0, 0);
    COLORREF offered = 0;
    std::optional<COLORREF> answer;
    ctrl->SetColorChooser([&](COLORREF current, QWidget*) {
        offered = current;
        return answer;
    });
    PlotNoise(700, 9);
    // Cancelled: nothing changes.
    const QImage before = ctrl->BackBuffer().copy();
    ctrl->ChooseColor();
    EXPECT_EQ(ctrl->BackBuffer(), before);
    EXPECT_EQ(ctrl->PointColor(), kDefaultPointColor);

    answer = red;
    ctrl->ChooseColor();
    EXPECT_EQ(offered, kDefaultPointColor);
    EXPECT_TRUE(LooksFresh());
    EXPECT_EQ(ctrl->PointColor(), red);

    ctrl->PlotPoint(0, 16384);
    const StereoPoint at = ctrl->Geometry().Map(0, 16384);
    EXPECT_TRUE(IsInverted(at.x, at.y, red));
}

TEST_F(StereoCtrlTest, ContextMenuMarksTheCurrentOptions)
{
    auto marks = [&] {
        std::vector<std::pair<QString, bool>> items;
        std::unique_ptr<QMenu> menu = ctrl->CreateContextMenu();
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                items.push_back({ QStringLiteral("-"), false });
            } else if (a->menu()) {
                items.push_back({ a->text(), false });
                for (QAction* sub : a->menu()->actions())
                    items.push_back({ QStringLiteral("  %1 %2").arg(sub->text()).arg(sub->data().toInt()), sub->isChecked() });
            } else {
                items.push_back({ QStringLiteral("%1 %2").arg(a->text()).arg(a->data().toInt()), a->isChecked() });
            }
        }
        return items;
    };
    using Items = std::vector<std::pair<QString, bool>>;
    EXPECT_EQ(marks(), (Items {
        { "On 540", false }, { "-", false }, { "Visible points", false },
        { "  256 500", false }, { "  512 510", true }, { "  1024 520", false },
        { "Thick points 530", true }, { "-", false }, { "Samples", false },
        { "  Every 550", true }, { "  Every 2. 551", false }, { "  Every 4. 552", false },
        { "-", false }, { "Colors... 553", false } }));

    ctrl->SetOn(1);
    ctrl->SetCount(1024);
    ctrl->SetPointSize(1);
    ctrl->SetDecimation(2);
    const Items now = marks();
    EXPECT_TRUE(now[0].second);
    EXPECT_FALSE(now[4].second);
    EXPECT_TRUE(now[5].second);
    EXPECT_FALSE(now[6].second);
    EXPECT_FALSE(now[9].second);
    EXPECT_TRUE(now[11].second);
}

TEST_F(StereoCtrlTest, APauseKeepsTheOnStateToComeBackTo)
{
    ctrl->SetOn(1);
    ASSERT_TRUE(ctrl->IsOnForCapture());
    ctrl->NotifyMinimized(true);
    EXPECT_FALSE(ctrl->IsOnForCapture());
    EXPECT_EQ(ctrl->IsPlotting(), 0);
    // Shown off, counted on.
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_EQ(ctrl->IsSwitchedOn(), 1);
    ctrl->NotifyMinimized(false);
    EXPECT_TRUE(ctrl->IsOnForCapture());
    EXPECT_EQ(ctrl->IsPlotting(), 1);

    // Switched off while paused: it stays off afterwards.
    ctrl->NotifyMinimized(true);
    ctrl->SetSwitchedOn(0);
    EXPECT_EQ(ctrl->IsSwitchedOn(), 0);
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_FALSE(ctrl->IsOnForCapture());

    // Pauses nest; a resume without a pause is ignored.
    ctrl->SetOn(1);
    ctrl->NotifyMinimized(false);
    ctrl->NotifyMinimized(true);
    ctrl->NotifyMinimized(true);
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsPlotting(), 0);
    ctrl->NotifyMinimized(false);
    EXPECT_EQ(ctrl->IsPlotting(), 1);
}

