#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/correlation/CorView.h"
#include "platform/Notices.h"
#include "platform/SettingsStore.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/common/ViewTestBench.h"
#include "tests/common/TestEnvironment.h"
#include "workspace/Wsp.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CorViewTest : public CViewTestBench {
protected:
    ~CorViewTest() override
    {
        doc.SetCor(nullptr);
        doc.SetCorrelationEstimator(nullptr);
    }

    // Created as the shell creates it: construction, frame, initial update.
    std::unique_ptr<CCorView> MakeView(CFakeViewFrame& viewFrame) { return CreateView<CCorView>(120, 140, viewFrame); }
    std::unique_ptr<CCorView> MakeView() { return MakeView(frame); }
};

} // namespace

TEST_F(CorViewTest, FirstStartIsVerticalOffAtTheDefaultSize)
{
    frame.m_rect = QRect(7, 9, 300, 300);
    auto view = MakeView();
    EXPECT_FALSE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_EQ(frame.m_rect, QRect(7, 9, 110, 150));
    EXPECT_EQ(view->MinTrackSize(), QSize(84, 120));
    EXPECT_EQ(doc.Cor(), view->Ctrl());
    EXPECT_EQ(doc.MeterCount(), 0);
    ASSERT_FALSE(frame.m_meterOnCalls.empty());
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
    EXPECT_EQ(view->InstrumentType(), 131);
    EXPECT_EQ(view->EraseColor(), RGB(0, 0, 0));
}

TEST_F(CorViewTest, OrientationTogglesBringTheDefaultSizes)
{
    auto view = MakeView();
    frame.m_rect = QRect(50, 60, 333, 222);
    view->OnCommand(200);
    EXPECT_TRUE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(frame.m_rect, QRect(50, 60, 124, 105));
    EXPECT_EQ(view->MinTrackSize(), QSize(106, 96));
    frame.m_rect = QRect(50, 60, 400, 90);
    view->OnCommand(200);
    EXPECT_FALSE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(frame.m_rect, QRect(50, 60, 110, 150)) << "the default size, not the user's";
}

TEST_F(CorViewTest, ControlMenuCommandsReachTheView)
{
    auto view = MakeView();
    view->Ctrl()->OnCommand(410);
    EXPECT_TRUE(view->Ctrl()->IsHorizontal());
    view->Ctrl()->OnCommand(400);
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_TRUE(driver.IsOpen());
    view->Ctrl()->OnCommand(400);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    view->Ctrl()->OnCommand(405);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_TRUE(view->Ctrl()->IsHorizontal());
}

TEST_F(CorViewTest, SettingsRoundTrip)
{
    {
        auto view = MakeView();
        view->OnCommand(200);
        view->OnCommand(32772);
        frame.m_rect = QRect(200, 100, 150, 120);
        view->OnDestroy();
        EXPECT_EQ(view->Ctrl()->IsOn(), 0);
        EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
        doc.MeterOff(true);
    }
    CSettingsStore::Sync();
    EXPECT_EQ(CSettingsStore::GetInt("COR", "Status", -1), 1);
    EXPECT_EQ(CSettingsStore::GetInt("COR", "Dir", -1), 1);
    EXPECT_EQ(CSettingsStore::GetBinary("WinPos", "Correlation").size(), 44);

    CFakeViewFrame second;
    auto view = MakeView(second);
    EXPECT_TRUE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_EQ(second.m_nSetPlacementCalls, 1);
    EXPECT_EQ(second.m_rect, QRect(200, 100, 150, 120));
    // The restored on state is counted, but the shell opens the device.
    EXPECT_EQ(doc.MeterCount(), 1);
    EXPECT_EQ(second.m_meterOnCalls.back(), 1);
}

TEST_F(CorViewTest, PlacementOfTheWrongLengthIsIgnored)
{
    CSettingsStore::WriteBinary("WinPos", "Correlation", QByteArray(40, '\1'));
    CSettingsStore::WriteInt("COR", "Dir", 0);
    frame.m_rect = QRect(5, 5, 300, 300);
    auto view = MakeView();
    EXPECT_EQ(frame.m_nSetPlacementCalls, 0);
    // Dir 0 read, then flipped: horizontal at its default size.
    EXPECT_TRUE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(frame.m_rect, QRect(5, 5, 124, 105));
}

TEST_F(CorViewTest, WorkspaceRoundTrip)
{
    auto view = MakeView();
    view->OnCommand(200);
    frame.m_rect = QRect(70, 80, 124, 105);
    CWsp wsp;
    view->OnUpdate(HINT_STORE, &wsp);

    view->OnCommand(200);
    view->OnCommand(32772);
    frame.m_rect = QRect(0, 0, 110, 150);
    view->OnUpdate(HINT_RESTORE, &wsp);
    EXPECT_TRUE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_EQ(frame.m_rect, QRect(70, 80, 124, 105));
    EXPECT_EQ(doc.MeterCount(), 0);
}
