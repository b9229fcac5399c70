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

    static CWinSet Record(int horizontal, int on, int active, int showCmd = SW_SHOWNORMAL)
    {
        CWinSet record;
        record.m_nType = 131;
        record.m_strTitle = "Correlation-Meter";
        record.m_wp = CWindowPlacement {};
        record.m_wp.showCmd = showCmd;
        record.m_wp.left = 300;
        record.m_wp.top = 40;
        record.m_wp.right = 424;
        record.m_wp.bottom = 145;
        record.m_nParam[0] = horizontal;
        record.m_nParam[1] = on;
        record.m_nParam[2] = active;
        return record;
    }

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

TEST_F(CorViewTest, ControlFillsTheView)
{
    auto view = MakeView();
    view->resize(130, 170);
    view->OnSize(SIZE_RESTORED);
    EXPECT_EQ(view->Ctrl()->geometry(), QRect(0, 0, 130, 170));
}

TEST_F(CorViewTest, OnAndOffOpenAndCloseTheDevice)
{
    auto view = MakeView();
    EXPECT_TRUE(view->OnCommand(32772));
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_TRUE(view->Ctrl()->IsOnForCapture());
    EXPECT_EQ(doc.MeterCount(), 1);
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(frame.m_meterOnCalls.back(), 1);

    view->OnCommand(32772);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_EQ(doc.MeterCount(), 0);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
    EXPECT_FALSE(view->OnCommand(12345));
}

TEST_F(CorViewTest, SwitchingOnWithoutADeviceLeavesTheMeterOff)
{
    auto view = MakeView();
    driver.SetBusy(true);
    view->OnCommand(32772);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_FALSE(view->Ctrl()->IsOnForCapture());
    EXPECT_EQ(doc.MeterCount(), 0);
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
    EXPECT_EQ(notices.Notices().size(), 1u);
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

TEST_F(CorViewTest, MinimisedMeterIsPausedAndStoredAsOff)
{
    auto view = MakeView();
    view->OnCommand(32772);
    view->OnSize(SIZE_MINIMIZED);
    view->OnSize(SIZE_MINIMIZED);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_FALSE(view->Ctrl()->IsOnForCapture());
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
    EXPECT_EQ(doc.MeterCount(), 1) << "a paused meter still holds the device";
    // Coming back maximised resumes it as well.
    view->OnSize(SIZE_MAXIMIZED);
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_EQ(frame.m_meterOnCalls.back(), 1);

    view->OnSize(SIZE_MINIMIZED);
    view->OnDestroy();
    CSettingsStore::Sync();
    EXPECT_EQ(CSettingsStore::GetInt("COR", "Status", -1), 0);
    view->OnSize(SIZE_RESTORED);
    doc.MeterOff(true);
}

TEST_F(CorViewTest, SwitchingOffWhileMinimisedReleasesTheDevice)
{
    auto view = MakeView();
    view->OnCommand(32772);
    view->OnSize(SIZE_MINIMIZED);
    // The main menu's On/Off reaches a minimised window too.
    view->OnCommand(32772);
    EXPECT_EQ(doc.MeterCount(), 0);
    EXPECT_FALSE(driver.IsOpen());
    view->OnSize(SIZE_RESTORED);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    // And on again while minimised: counted once, on after the restore.
    view->OnSize(SIZE_MINIMIZED);
    view->OnCommand(32772);
    EXPECT_EQ(doc.MeterCount(), 1);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    view->OnSize(SIZE_RESTORED);
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    view->OnCommand(32772);
    EXPECT_EQ(doc.MeterCount(), 0);
}

TEST_F(CorViewTest, FirstActivationSetsUpTheMenuOnce)
{
    auto view = MakeView();
    view->OnActivateView(false);
    EXPECT_EQ(host.m_nFirstActivations, 0);
    view->OnActivateView(true);
    view->OnActivateView(true);
    EXPECT_EQ(host.m_nFirstActivations, 1);
}

TEST_F(CorViewTest, StoreWritesTheRecord)
{
    auto view = MakeView();
    view->OnCommand(200);
    view->OnCommand(32772);
    frame.m_title = QStringLiteral("Correlation-Meter");
    frame.m_rect = QRect(12, 34, 124, 105);
    host.m_pActiveView = view.get();
    CWsp wsp;
    view->OnUpdate(HINT_STORE, &wsp);
    ASSERT_EQ(wsp.m_winSets.size(), 1u);
    const CWinSet& record = wsp.m_winSets[0];
    EXPECT_EQ(record.m_nType, 131u);
    EXPECT_EQ(record.m_strTitle, QByteArray("Correlation-Meter"));
    EXPECT_TRUE(record.m_strText2.isEmpty());
    EXPECT_EQ(record.m_wp, frame.GetWindowPlacement());
    const std::array<std::int32_t, 10> params { 1, 1, 1, 0, 0, 0, 0, 0, 0, 0 };
    EXPECT_EQ(record.m_nParam, params);

    host.m_pActiveView = nullptr;
    view->OnUpdate(HINT_STORE, &wsp);
    ASSERT_EQ(wsp.m_winSets.size(), 2u);
    EXPECT_EQ(wsp.m_winSets[1].m_nParam[2], 0);
    view->OnCommand(32772);
}

TEST_F(CorViewTest, RestoreAppliesOptionsOnStateAndPlacement)
{
    auto view = MakeView();
    CWsp wsp;
    wsp.AddWinSet(Record(1, 1, 0));
    view->OnUpdate(HINT_RESTORE, &wsp);
    EXPECT_TRUE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_EQ(doc.MeterCount(), 1);
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(frame.m_rect, QRect(300, 40, 124, 105));

    // The same on state again does not count the meter twice.
    view->OnUpdate(HINT_RESTORE, &wsp);
    EXPECT_EQ(doc.MeterCount(), 1);

    CWsp off;
    off.AddWinSet(Record(0, 0, 0));
    view->OnUpdate(HINT_RESTORE, &off);
    EXPECT_FALSE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_EQ(doc.MeterCount(), 0);
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(CorViewTest, RestoreWithoutARecordChangesNothing)
{
    auto view = MakeView();
    view->OnCommand(32772);
    CWsp wsp;
    CWinSet other = Record(1, 0, 1);
    other.m_nType = 129;
    wsp.AddWinSet(other);
    const int placements = frame.m_nSetPlacementCalls;
    view->OnUpdate(HINT_RESTORE, &wsp);
    view->OnUpdate(HINT_ARRANGE, &wsp);
    EXPECT_FALSE(view->Ctrl()->IsHorizontal());
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_EQ(frame.m_nSetPlacementCalls, placements);
    EXPECT_TRUE(frame.m_actions.empty());
    view->OnCommand(32772);
}

TEST_F(CorViewTest, DamagedOnFlagNeverSwitchesOffAMeterThatIsOff)
{
    auto view = MakeView();
    CWsp wsp;
    wsp.AddWinSet(Record(0, 7, 0));
    view->OnUpdate(HINT_RESTORE, &wsp);
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_EQ(doc.MeterCount(), 1);
    view->OnUpdate(HINT_RESTORE, &wsp);
    EXPECT_EQ(doc.MeterCount(), 1);
    view->OnCommand(32772);
    EXPECT_EQ(doc.MeterCount(), 0);
}

TEST_F(CorViewTest, ArrangeRestoresMaximisesMinimisesAndActivates)
{
    auto view = MakeView();
    CWsp maximised;
    maximised.AddWinSet(Record(0, 0, 1, SW_SHOWMAXIMIZED));
    view->OnUpdate(HINT_ARRANGE, &maximised);
    EXPECT_EQ(frame.m_actions, (std::vector<QString> { "restore", "maximize", "activate" }));

    frame.m_actions.clear();
    CWsp minimised;
    minimised.AddWinSet(Record(0, 0, 0, SW_SHOWMINIMIZED));
    view->OnUpdate(HINT_ARRANGE, &minimised);
    EXPECT_EQ(frame.m_actions, (std::vector<QString> { "restore", "minimize" }));

    frame.m_actions.clear();
    view->OnUpdate(7, &minimised);
    EXPECT_TRUE(frame.m_actions.empty());
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
