#include "meters/stereo/StereoView.h"

#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "platform/Notices.h"
#include "platform/SettingsStore.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/common/ViewTestBench.h"
#include "tests/common/TestEnvironment.h"
#include "workspace/Wsp.h"

#include <QStyle>
#include <gtest/gtest.h>

#include <memory>

namespace {
const QString kSection = QStringLiteral("STM");

class StereoViewTest : public CViewTestBench {
protected:
    ~StereoViewTest() override
    {
        if (doc.MeterCount() > 0)
            doc.MeterOff(true);
        doc.SetStereo(nullptr);
    }

    // The view as the shell makes it: created, framed, initially updated.
    void MakeView()
    {
        view = std::make_unique<CStereoView>(host);
        view->resize(198, 198);
        view->show();
        view->SetFrame(&frame);
        view->OnInitialUpdate();
        Ctrl().PaintNow();
        fresh = Ctrl().BackBuffer().copy();
    }
    CStereoCtrl& Ctrl() { return *view->Ctrl(); }
    bool TraceIsGone() { return Ctrl().BackBuffer() == fresh; }

    // Delivers blocks through the capture thread and applies them as the UI
    // thread does.
    void Deliver(const CTestWaveDriver::BlockData& block, int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(driver.DeliverBlock(block));
            ASSERT_TRUE(capture.WaitForIdle());
        }
        doc.ApplyPackets();
    }
    // A block whose every frame lands somewhere else: a slow sweep of the
    // right channel against a falling left one.
    static CTestWaveDriver::BlockData Sweep()
    {
        CTestWaveDriver::BlockData block {};
        for (int f = 0; f < CTestWaveDriver::kBlockFrames; ++f) {
            block[2 * f] = static_cast<std::int16_t>(20000 - 60 * f);
            block[2 * f + 1] = static_cast<std::int16_t>(-15000 + 50 * f);
        }
        return block;
    }

    // A workspace holding one stereo record with these parameters.
    static CWsp StereoWorkspace(std::array<std::int32_t, 10> params, std::int32_t showCmd = SW_SHOWNORMAL)
    {
        CWsp workspace;
        CWinSet record;
        record.m_nType = 133;
        record.m_wp.showCmd = showCmd;
        record.m_nParam = params;
        workspace.AddWinSet(record);
        return workspace;
    }

    std::unique_ptr<CStereoView> view;
    QImage fresh;
};
}

TEST_F(StereoViewTest, FirstStartUsesTheDefaults)
{
    MakeView();
    EXPECT_STREQ(CStereoView::kTitle, "Stereo-Meter");
    EXPECT_EQ(CStereoView::kType, 133u);
    EXPECT_EQ(view->InstrumentType(), 133);
    EXPECT_EQ(Ctrl().IsOn(), 0);
    EXPECT_EQ(Ctrl().PointSize(), 2);
    EXPECT_EQ(Ctrl().Count(), 512);
    EXPECT_EQ(Ctrl().Decimation(), 0);
    EXPECT_EQ(Ctrl().PointColor(), RGB(255, 255, 0));
    EXPECT_EQ(Ctrl().CtrlId(), 4712);
    EXPECT_EQ(frame.m_nSetPlacementCalls, 0) << "no stored placement: the frame keeps its size";
    EXPECT_EQ(doc.Stereo(), view->Ctrl());
    EXPECT_EQ(doc.MeterCount(), 0);
    ASSERT_FALSE(frame.m_meterOnCalls.empty());
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
    EXPECT_EQ(view->EraseColor(), RGB(32, 32, 32));
}

TEST_F(StereoViewTest, SettingsSurviveARun)
{
    MakeView();
    Ctrl().SetCount(1024);
    Ctrl().SetPointSize(1);
    Ctrl().SetDecimation(2);
    Ctrl().SetPointColor(RGB(0, 128, 255));
    frame.m_rect = QRect(30, 40, 250, 260);
    view->OnDestroy();
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);

    EXPECT_EQ(CSettingsStore::GetInt(kSection, "Status", -1), 0);
    EXPECT_EQ(CSettingsStore::GetInt(kSection, "PtSize", -1), 1);
    EXPECT_EQ(CSettingsStore::GetInt(kSection, "PtCount", -1), 1024);
    EXPECT_EQ(CSettingsStore::GetInt(kSection, "Raster", -1), 2);
    EXPECT_EQ(CSettingsStore::GetInt(kSection, "Color", -1), 0xFF8000);
    const QByteArray placement = CSettingsStore::GetBinary("WinPos", "Stereo-Meter");
    ASSERT_EQ(placement.size(), 44);

    frame = CFakeViewFrame();
    MakeView();
    EXPECT_EQ(Ctrl().Count(), 1024);
    EXPECT_EQ(Ctrl().PointSize(), 1);
    EXPECT_EQ(Ctrl().Decimation(), 2);
    EXPECT_EQ(Ctrl().DecimationForCapture(), 2);
    EXPECT_EQ(Ctrl().PointColor(), RGB(0, 128, 255));
    EXPECT_EQ(frame.m_nSetPlacementCalls, 1);
    EXPECT_EQ(frame.m_rect, QRect(30, 40, 250, 260));
}

TEST_F(StereoViewTest, ForeignStoredValuesReadAsDefaults)
{
    CSettingsStore::WriteInt(kSection, "Raster", 7);
    CSettingsStore::WriteInt(kSection, "PtCount", 5000);
    CSettingsStore::WriteInt(kSection, "PtSize", 3);
    CSettingsStore::WriteBinary("WinPos", "Stereo-Meter", QByteArray(40, '\0'));
    MakeView();
    EXPECT_EQ(Ctrl().Decimation(), 0);
    EXPECT_EQ(Ctrl().DecimationForCapture(), 0);
    EXPECT_EQ(Ctrl().Count(), 512);
    EXPECT_EQ(Ctrl().PointSize(), 2);
    EXPECT_EQ(frame.m_nSetPlacementCalls, 0) << "a placement of 40 bytes is ignored";
}

TEST_F(StereoViewTest, TheControlIsTheLargestCentredSquare)
{
    MakeView();
    view->resize(400, 200);
    EXPECT_EQ(Ctrl().geometry(), QRect(100, 0, 200, 200));
    view->resize(150, 301);
    EXPECT_EQ(Ctrl().geometry(), QRect(0, 75, 150, 150));
    EXPECT_EQ(CStereoView::CentredSquare(0, 50), CRect(0, 25, 0, 25));

    // Dark grey bands beside the control.
    view->resize(400, 200);
    const QImage shot = view->grab().toImage();
    EXPECT_EQ(shot.pixelColor(50, 100), QColor(32, 32, 32));
    EXPECT_EQ(shot.pixelColor(350, 100), QColor(32, 32, 32));
    EXPECT_EQ(shot.pixelColor(200, 100), QColor(0, 0, 0)) << "the control's black ground";
}

TEST_F(StereoViewTest, SwitchingOnPlotsThroughTheHubAndOffRemovesTheTrace)
{
    MakeView();
    Ctrl().OnCommand(ID_STM_ON); // the "On" item asks the view
    ASSERT_EQ(Ctrl().IsOn(), 1);
    EXPECT_EQ(frame.m_meterOnCalls.back(), 1);
    EXPECT_EQ(doc.MeterCount(), 1);
    ASSERT_TRUE(capture.WaitForIdle());
    ASSERT_TRUE(driver.IsOpen());

    Deliver(Sweep());
    EXPECT_EQ(Ctrl().Ring().LitCount(), 511) << "every frame plotted, the ring wrapped once";
    EXPECT_FALSE(TraceIsGone());

    EXPECT_TRUE(view->OnCommand(ID_STEREO_ON_OFF));
    EXPECT_EQ(Ctrl().IsOn(), 0);
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
    EXPECT_TRUE(TraceIsGone()) << "switching off removes the trace at once";
    EXPECT_EQ(doc.MeterCount(), 0);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_FALSE(view->OnCommand(ID_STEREO_ON_OFF + 1));
}

TEST_F(StereoViewTest, EveryFourthFramePlots128PointsPerBlock)
{
    MakeView();
    Ctrl().SetCount(1024);
    Ctrl().OnCommand(ID_STM_EVERY_4);
    view->OnCommand(ID_STEREO_ON_OFF);
    ASSERT_TRUE(capture.WaitForIdle());
    Deliver(Sweep());
    EXPECT_EQ(Ctrl().Ring().LitCount(), 128);
    Ctrl().OnCommand(ID_STM_EVERY_2);
    Ctrl().SetCount(1024);
    Deliver(Sweep());
    EXPECT_EQ(Ctrl().Ring().LitCount(), 256);
}

TEST_F(StereoViewTest, AColourChangePausesTheMeterAndLeavesNoOldPoint)
{
    MakeView();
    Ctrl().SetColorChooser([](COLORREF, QWidget*) -> std::optional<COLORREF> { return RGB(255, 0, 255); });
    view->OnCommand(ID_STEREO_ON_OFF);
    ASSERT_TRUE(capture.WaitForIdle());
    Deliver(Sweep());
    frame.m_meterOnCalls.clear();
    Ctrl().OnCommand(ID_STM_COLORS);
    EXPECT_EQ(frame.m_meterOnCalls, (std::vector<int> { 0, 1 }));
    EXPECT_TRUE(TraceIsGone());
    EXPECT_EQ(Ctrl().PointColor(), RGB(255, 0, 255));
    view->OnDestroy();
    EXPECT_EQ(CSettingsStore::GetInt(kSection, "Color", -1), 0xFF00FF);
}

TEST_F(StereoViewTest, StoringAWorkspaceWritesRecord133)
{
    MakeView();
    Ctrl().SetCount(256);
    Ctrl().SetPointSize(1);
    Ctrl().SetDecimation(1);
    view->OnCommand(ID_STEREO_ON_OFF);
    frame.m_title = QStringLiteral("Stereo-Meter");
    host.m_pActiveView = view.get();

    CWsp workspace;
    view->OnUpdate(HINT_STORE, &workspace);
    const CWinSet* record = workspace.FindWinSet(133);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->m_strTitle, QByteArray("Stereo-Meter"));
    EXPECT_TRUE(record->m_strText2.isEmpty());
    EXPECT_EQ(record->m_wp, frame.GetWindowPlacement());
    const std::array<std::int32_t, 10> params { 0, 1, 1, 256, 1, 1, 0, 0, 0, 0 };
    EXPECT_EQ(record->m_nParam, params);

    host.m_pActiveView = nullptr;
    view->OnUpdate(HINT_STORE, &workspace);
    EXPECT_EQ(workspace.m_winSets.at(1).m_nParam[4], 0);
}

TEST_F(StereoViewTest, RecallingAnotherPointCountRestartsTheTrace)
{
    MakeView();
    view->OnCommand(ID_STEREO_ON_OFF);
    ASSERT_TRUE(capture.WaitForIdle());
    Deliver(Sweep());
    ASSERT_FALSE(TraceIsGone());

    CWsp workspace = StereoWorkspace({ 0, 1, 2, 256, 0, 2, 0, 0, 0, 0 });
    workspace.m_winSets[0].m_wp.left = 5;
    workspace.m_winSets[0].m_wp.right = 205;
    workspace.m_winSets[0].m_wp.bottom = 200;
    view->OnUpdate(HINT_RESTORE, &workspace);
    EXPECT_TRUE(TraceIsGone());
    EXPECT_EQ(Ctrl().Count(), 256);
    EXPECT_EQ(Ctrl().Decimation(), 2);
    EXPECT_EQ(frame.m_rect, QRect(5, 0, 200, 200));
    EXPECT_EQ(doc.MeterCount(), 1) << "already on: no second count";

    // The same count again keeps the trace (a quarter of a block in "Every 4.").
    Deliver(Sweep());
    ASSERT_EQ(Ctrl().Ring().LitCount(), 128);
    view->OnUpdate(HINT_RESTORE, &workspace);
    EXPECT_EQ(Ctrl().Ring().LitCount(), 128);
}

TEST_F(StereoViewTest, RecalledForeignValuesReadAsDefaults)
{
    MakeView();
    Ctrl().SetCount(1024);
    CWsp workspace = StereoWorkspace({ 0, 0, 9, 5000, 0, 7, 0, 0, 0, 0 });
    view->OnUpdate(HINT_RESTORE, &workspace);
    EXPECT_EQ(Ctrl().Count(), 512);
    EXPECT_EQ(Ctrl().PointSize(), 2);
    EXPECT_EQ(Ctrl().DecimationForCapture(), 0);
    EXPECT_EQ(doc.MeterCount(), 0) << "a meter that is off is not switched off again";
}

TEST_F(StereoViewTest, RecallSwitchesTheMeterOnAndOff)
{
    MakeView();
    CWsp on = StereoWorkspace({ 0, 1, 2, 512, 0, 0, 0, 0, 0, 0 });
    view->OnUpdate(HINT_RESTORE, &on);
    EXPECT_EQ(Ctrl().IsOn(), 1);
    EXPECT_EQ(doc.MeterCount(), 1);
    ASSERT_TRUE(capture.WaitForIdle());
    Deliver(Sweep());

    CWsp off = StereoWorkspace({ 0, 0, 2, 512, 0, 0, 0, 0, 0, 0 });
    view->OnUpdate(HINT_RESTORE, &off);
    EXPECT_EQ(Ctrl().IsOn(), 0);
    EXPECT_EQ(doc.MeterCount(), 0);
    EXPECT_TRUE(TraceIsGone());
}
