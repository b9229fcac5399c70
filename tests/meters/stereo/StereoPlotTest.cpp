// The stereo meter's plot: where a pair of samples lands, the ring of lit
// points, and the control that inverts them on its back buffer.
#include "meters/stereo/StereoCtrl.h"
#include "tests/common/MeterPixels.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <random>
#include <set>

TEST(StereoGeometry, SamplePairsLandOnTheirPixels)
{
    CStereoGeometry geometry;
    geometry.CalcGeometry(CRect(0, 0, 198, 198));
    EXPECT_EQ(geometry.Span(), 147) << "49 whole quarters of 198";
    const struct { int left, right, x, y; } rows[] = {
        // mono up, R above L to the right
        { 32767, 32767, 99, 6 }, { -32768, -32768, 99, 192 }, { -32767, 32767, 192, 99 },
        { 0, 1422, 100, 98 }, // 2.9 pixel steps cut to 2, turned to 1.41, cut to 1
        { 480, -480, 99, 99 }, { 32767, 0, 53, 53 }, { 0, 32767, 145, 53 }, // "L" upper left, "R" upper right
    };
    for (const auto& row : rows)
        EXPECT_EQ(geometry.Map(row.left, row.right), (StereoPoint { row.x, row.y })) << row.left << "/" << row.right;
    geometry.CalcGeometry(CRect(10, 20, 212, 222));
    EXPECT_EQ(std::pair(geometry.Span(), geometry.Centre()), std::pair(150, StereoPoint { 111, 121 }));
}

namespace {
class StereoCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ctrl.Create(nullptr, kCreateOffset, kCreateOffset, kCreateSize, kStereoCtrlId);
        ctrl.PaintNow();
        fresh = ctrl.BackBuffer().copy();
    }
    std::set<std::pair<int, int>> Changed() const
    {
        std::set<std::pair<int, int>> changed;
        for (int y = 0; y < fresh.height(); ++y)
            for (int x = 0; x < fresh.width(); ++x)
                if (ctrl.BackBuffer().pixel(x, y) != fresh.pixel(x, y))
                    changed.insert({ x, y });
        return changed;
    }
    // The pixel holds the fresh picture inverted with `color`.
    bool IsInverted(int x, int y, COLORREF color) const
    {
        return ctrl.BackBuffer().pixel(x, y) == (fresh.pixel(x, y) ^ (ToPixel(color) & 0x00FFFFFFu));
    }
    void PlotNoise(int count, unsigned seed)
    {
        std::mt19937 random(seed);
        for (int i = 0; i < count; ++i)
            ctrl.PlotPoint(int(random() % 65536) - 32768, int(random() % 65536) - 32768);
    }
    bool LooksFresh() const { return ctrl.BackBuffer() == fresh; }

    CStereoCtrl ctrl;
    QImage fresh;
};
}

TEST_F(StereoCtrlTest, RasterHasDottedDiagonalsAndTheThreeLabels)
{
    const COLORREF grey = RGB(128, 128, 128), black = RGB(0, 0, 0);
    const struct { int x, y; COLORREF color; } pixels[] = { { 20, 20, grey }, { 21, 21, black }, { 176, 176, grey },
        { 178, 178, black }, { 178, 20, grey }, { 177, 21, black }, { 22, 176, grey } };
    for (const auto& p : pixels)
        EXPECT_EQ(ctrl.Dc().GetPixel(p.x, p.y), p.color) << p.x << "," << p.y;
    auto labelPixels = [&](const CRect& box) { return CountPixels(ctrl.Dc(), box, RGB(192, 192, 255)); };
    const int l = labelPixels(CRect(0, 0, 18, 13)), r = labelPixels(CRect(180, 0, 198, 13));
    const int m = labelPixels(CRect(90, 0, 108, 13));
    EXPECT_TRUE(l > 0 && r > 0 && m > 0) << l << " " << r << " " << m;
    EXPECT_EQ(labelPixels(CRect(0, 0, 198, 198)), l + r + m) << "the three letters and nothing else";
}

TEST_F(StereoCtrlTest, PointsAreInvertedSquaresOfTheirSize)
{
    ctrl.PlotPoint(0, 16384); // lands on (122, 76)
    EXPECT_EQ(Changed(), (std::set<std::pair<int, int>> { { 122, 76 }, { 123, 76 }, { 122, 77 }, { 123, 77 } }));
    EXPECT_TRUE(IsInverted(123, 77, kDefaultPointColor));
    ctrl.OnCommand(ID_STM_THICK);
    // The thick point is removed before the size changes.
    EXPECT_EQ(std::pair(ctrl.PointSize(), LooksFresh()), std::pair(1, true));
    ctrl.PlotPoint(0, 16384);
    EXPECT_EQ(Changed(), (std::set<std::pair<int, int>> { { 122, 76 } }));
    ctrl.OnCommand(ID_STM_THICK);
    EXPECT_EQ(ctrl.PointSize(), 2);
}

TEST_F(StereoCtrlTest, ErasingClickingAndNewCountsRemoveExactlyTheLitPoints)
{
    PlotNoise(300, 3);
    ASSERT_FALSE(LooksFresh());
    ctrl.EraseAllPoints();
    EXPECT_TRUE(LooksFresh());
    PlotNoise(700, 4); // past the wrap the slot at the write position is no longer lit
    const QPointF at(50, 50);
    QMouseEvent press(QEvent::MouseButtonPress, at, ctrl.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(&ctrl, &press);
    EXPECT_EQ(std::pair(LooksFresh(), ctrl.Ring().LitCount()), std::pair(true, 0));
    PlotNoise(400, 5);
    ctrl.OnCommand(ID_STM_COUNT_256);
    EXPECT_TRUE(LooksFresh());
}
