// The correlation meter fed from the scriptable test driver through the
// capture thread and the sample hub, as the running program feeds it.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/correlation/CorView.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/common/ViewTestBench.h"
#include "tests/meters/correlation/CorTestColours.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CorEndToEndTest : public CViewTestBench {
protected:
    ~CorEndToEndTest() override
    {
        doc.SetCor(nullptr);
        doc.SetCorrelationEstimator(nullptr);
    }

    void SetUp() override
    {
        view = std::make_unique<CCorView>(host);
        view->SetFrame(&frame);
        view->OnInitialUpdate();
        // Client 118 x 138, vertical: track rows 16..121 about row 69; the
        // +1 strip covers rows 14..20, the -1 strip rows 118..124.
        view->resize(120, 140);
        view->show();
        view->Ctrl()->PaintNow();
        view->OnCommand(32772);
        ASSERT_EQ(view->Ctrl()->IsOn(), 1);
        ASSERT_TRUE(capture.WaitForIdle());
        ASSERT_EQ(capture.m_bOpened.load(), 1);
    }
    void TearDown() override
    {
        if (view->Ctrl()->IsSwitchedOn())
            view->OnCommand(32772);
        EXPECT_FALSE(driver.IsOpen());
    }

    // Blocks one at a time, as a paced device delivers them; the packets are
    // applied as the UI thread applies them when woken.
    void Deliver(int blocks, std::int16_t left, std::int16_t right)
    {
        for (int i = 0; i < blocks; ++i) {
            ASSERT_TRUE(driver.DeliverBlock(CTestWaveDriver::Block(left, right)));
            ASSERT_TRUE(capture.WaitForIdle());
            doc.ApplyPackets();
        }
    }
    COLORREF Px(int x, int y) { return view->Ctrl()->Dc().GetPixel(x, y); }

    std::unique_ptr<CCorView> view;
};

} // namespace

TEST_F(CorEndToEndTest, IdenticalChannelsSettleAtPlusOne)
{
    Deliver(200, 8000, 8000);
    EXPECT_EQ(view->Ctrl()->Pos(), 200);
    EXPECT_EQ(view->Ctrl()->MinAngle(), 0);
    EXPECT_EQ(view->Ctrl()->MaxAngle(), 0);
    EXPECT_EQ(Px(50, 17), kCorGreen);
    EXPECT_EQ(doc.DroppedPackets(), 0u);
}

TEST_F(CorEndToEndTest, OppositeChannelsSettleAtMinusOne)
{
    Deliver(200, -12000, 12000);
    EXPECT_EQ(view->Ctrl()->Pos(), -200);
    EXPECT_EQ(view->Ctrl()->MaxAngle(), 180);
    EXPECT_EQ(view->Ctrl()->MinAngle(), 180) << "no angle below 90 was seen";
    EXPECT_EQ(Px(50, 120), kCorRed);
}

TEST_F(CorEndToEndTest, SmoothingRunsOnWhileTheMeterIsPaused)
{
    Deliver(200, 8000, 8000);
    ASSERT_EQ(view->Ctrl()->Pos(), 200);

    // Minimised: nothing reaches the display, but the filter keeps following
    // the input, so after the pause the pointer starts from the new state.
    view->OnSize(SIZE_MINIMIZED);
    Deliver(40, 8000, -8000);
    EXPECT_EQ(view->Ctrl()->Pos(), 200);
    EXPECT_EQ(view->Ctrl()->MaxAngle(), 0);
    view->OnSize(SIZE_RESTORED);
    Deliver(2, 8000, -8000);
    EXPECT_LT(view->Ctrl()->Pos(), -150);
    EXPECT_EQ(view->Ctrl()->MaxAngle(), 180);
}
