// The correlation meter's display, its view and its feed from the test
// driver through the capture thread, checked on the back buffer.
#include "meters/common/MeterFonts.h"
#include "meters/correlation/CorConstants.h"
#include "meters/correlation/CorView.h"
#include "tests/common/MeterPixels.h"
#include "tests/common/ViewTestBench.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {
constexpr COLORREF kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0), kYellow = RGB(255, 255, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);

// The raw value whose phase angle lies half a degree above `degrees`.
double RawForAngle(int degrees) { return std::cos((degrees + 0.5) * std::numbers::pi / 180.0); }

// Upright: client 108 x 148, track (27, 16, 81, 132), centre row 74.
// Lying: client 198 x 98, track (16, 33, 182, 71), centre column 99.
std::unique_ptr<CCorCtrl> Make(bool horizontal)
{
    auto ctrl = std::make_unique<CCorCtrl>(nullptr, horizontal);
    ctrl->resize(horizontal ? 200 : 110, horizontal ? 100 : 150);
    ctrl->show();
    ctrl->PaintNow();
    return ctrl;
}

int CountColor(CCorCtrl& ctrl, const CRect& rc, COLORREF color) { return CountPixels(ctrl.Dc(), rc, color); }
}

// Upright, the smallest angle shows above the track and the largest below;
// lying, both above the track, the smallest at the +1 (right) end.
TEST(CorCtrl, ReadoutsAreDrawnOnTheirRows)
{
    const int th = QFontMetrics(CMeterFonts::Normal()).height();
    // The readout boxes, then where each readout's digits must lie.
    const struct { bool horizontal; CRect minRect, maxRect, minArea, maxArea; } cases[] = {
        { false, CRect(25, 1, 83, 1 + th), CRect(25, 136, 83, 146), CRect(0, 0, 108, 16), CRect(0, 132, 108, 148) },
        { true, CRect(157, 27 - 2 * th, 177, 27 - th), CRect(31, 27 - 2 * th, 51, 27 - th), CRect(99, 0, 198, 33 - th),
            CRect(0, 0, 99, 33 - th) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.horizontal ? "lying" : "upright");
        auto ctrl = Make(c.horizontal);
        const CRect client(0, 0, c.horizontal ? 198 : 108, c.horizontal ? 98 : 148);
        EXPECT_EQ(std::pair(ctrl->MinAngleRect(), ctrl->MaxAngleRect()), std::pair(c.minRect, c.maxRect));
        EXPECT_EQ(CountColor(*ctrl, client, kCyan), 0) << "no angle seen: both readouts blank";
        ctrl->ShowCorrelation(0.0, RawForAngle(45));
        const int minDigits = CountColor(*ctrl, client, kCyan);
        EXPECT_EQ(std::pair(minDigits > 0, CountColor(*ctrl, c.minArea, kCyan)), std::pair(true, minDigits));
        ctrl->ShowCorrelation(0.0, RawForAngle(135));
        const int bothDigits = CountColor(*ctrl, client, kCyan);
        EXPECT_EQ(CountColor(*ctrl, c.maxArea, kCyan), bothDigits - minDigits);
        EXPECT_GT(bothDigits, minDigits);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 60), QPointF(40, 60), Qt::LeftButton, Qt::LeftButton,
            Qt::NoModifier);
        QApplication::sendEvent(ctrl.get(), &press);
        // A click blanks both readouts.
        EXPECT_EQ(std::pair(CountColor(*ctrl, client, kCyan), ctrl->MinAngle()), std::pair(0, cor::kNoMinAngle));
    }
}

TEST(CorCtrl, PointerPositionAndColourFollowTheSmoothedValue)
{
    const struct { bool horizontal; double smoothed; int pos, x, y; COLORREF color; } rows[] = {
        { false, 1.0, 200, 54, 17, kGreen }, { false, 0.9975, 199, 54, 17, kGreen },
        { false, -0.0049, 0, 54, 74, kYellow }, { false, -1.0, -200, 54, 130, kRed },
        { true, -0.9999999, -200, 17, 50, kRed }, { true, 0.0, 0, 99, 50, kYellow },
        { true, 1.0, 200, 180, 50, kGreen } };
    for (const auto& row : rows) {
        auto ctrl = Make(row.horizontal);
        ctrl->ShowCorrelation(row.smoothed, 0.0);
        const COLORREF pointer = ctrl->Dc().GetPixel(row.x, row.y);
        EXPECT_EQ(std::pair(ctrl->Pos(), pointer), std::pair(row.pos, row.color)) << row.smoothed;
    }
}

class CorViewTest : public CViewTestBench {
protected:
    ~CorViewTest() override
    {
        if (doc.MeterCount() > 0)
            doc.MeterOff(true);
        doc.SetCor(nullptr);
        doc.SetCorrelationEstimator(nullptr);
    }
    void Deliver(int blocks, std::int16_t left, std::int16_t right)
    {
        for (int i = 0; i < blocks; ++i) {
            ASSERT_TRUE(driver.DeliverBlock(CTestWaveDriver::Block(left, right)));
            ASSERT_TRUE(capture.WaitForIdle());
            doc.ApplyPackets();
        }
    }
};

TEST_F(CorViewTest, CaptureFeedsThePointerAndSmoothingRunsOnWhilePaused)
{
    auto view = CreateView<CCorView>(120, 140, frame);
    const CCorCtrl& ctrl = *view->Ctrl();
    view->show();
    view->Ctrl()->PaintNow();
    view->Ctrl()->OnCommand(400);
    ASSERT_TRUE(capture.WaitForIdle());
    Deliver(200, 8000, 8000);
    EXPECT_EQ(std::tuple(ctrl.Pos(), ctrl.MinAngle(), ctrl.MaxAngle()), std::tuple(200, 0, 0));
    view->OnSize(SIZE_MINIMIZED);
    Deliver(40, 8000, -8000);
    EXPECT_EQ(ctrl.Pos(), 200) << "nothing reaches a paused display";
    view->OnSize(SIZE_RESTORED);
    Deliver(2, 8000, -8000);
    // The filter followed the input meanwhile.
    EXPECT_EQ(std::pair(ctrl.Pos() < -150, ctrl.MaxAngle()), std::pair(true, 180));
    // Held anti-phase settles at exactly -1, the bottom end, and the pointer
    // leaves no trace where it was (no green from the +1 end is left).
    Deliver(200, 8000, -8000);
    EXPECT_EQ(ctrl.Pos(), -200);
    EXPECT_EQ(CountColor(*view->Ctrl(), CRect(0, 0, 120, 140), kGreen), 0);
}
