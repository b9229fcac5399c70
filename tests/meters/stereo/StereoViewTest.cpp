// The stereo meter's view: stored settings, its place in the view, the
// feed through the capture thread and its workspace record.
#include "meters/stereo/StereoView.h"

#include "platform/SettingsStore.h"
#include "tests/common/ViewTestBench.h"
#include "workspace/Wsp.h"

#include <gtest/gtest.h>

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
    void MakeView()
    {
        view = CreateView<CStereoView>(198, 198, frame);
        view->show();
        Ctrl().PaintNow();
        fresh = Ctrl().BackBuffer().copy();
    }
    CStereoCtrl& Ctrl() { return *view->Ctrl(); }
    // Point size, count, capture decimation, colour.
    std::tuple<int, int, int, COLORREF> Options() { return { Ctrl().PointSize(), Ctrl().Count(), Ctrl().DecimationForCapture(), Ctrl().PointColor() }; }
    bool TraceIsGone() { return Ctrl().BackBuffer() == fresh; }
    // One block whose every frame lands somewhere else, through the capture thread.
    void DeliverSweep()
    {
        CTestWaveDriver::BlockData block {};
        for (int f = 0; f < CTestWaveDriver::kBlockFrames; ++f) {
            block[2 * f] = static_cast<std::int16_t>(20000 - 60 * f);
            block[2 * f + 1] = static_cast<std::int16_t>(-15000 + 50 * f);
        }
        ASSERT_TRUE(driver.DeliverBlock(block));
        ASSERT_TRUE(capture.WaitForIdle());
        doc.ApplyPackets();
    }
    static CWsp StereoWorkspace(std::array<std::int32_t, 10> params)
    {
        CWsp workspace;
        CWinSet record;
        record.m_nType = 133;
        record.m_wp = CWindowPlacement::FromValues({ 44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, 5, 0, 205, 200 });
        record.m_nParam = params;
        workspace.AddWinSet(record);
        return workspace;
    }

    std::unique_ptr<CStereoView> view;
    QImage fresh;
};
}

TEST_F(StereoViewTest, SettingsSurviveARunAndForeignOnesReadAsDefaults)
{
    MakeView();
    EXPECT_EQ(Options(), std::tuple(2, 512, 0, RGB(255, 255, 0)));
    EXPECT_EQ(view->EraseColor(), RGB(32, 32, 32));
    Ctrl().SetCount(1024);
    Ctrl().SetPointSize(1);
    Ctrl().SetDecimation(2);
    Ctrl().SetPointColor(RGB(0, 128, 255));
    view->OnDestroy();
    for (const auto& [entry, value] : { std::pair { "PtSize", 1 }, { "PtCount", 1024 }, { "Raster", 2 }, { "Color", 0xFF8000 } })
        EXPECT_EQ(CSettingsStore::GetInt(kSection, QString::fromLatin1(entry), -1), value) << entry;
    MakeView();
    EXPECT_EQ(Options(), std::tuple(1, 1024, 2, RGB(0, 128, 255)));

    CSettingsStore::WriteInt(kSection, QStringLiteral("Raster"), 7);
    CSettingsStore::WriteInt(kSection, QStringLiteral("PtCount"), 5000);
    CSettingsStore::WriteInt(kSection, QStringLiteral("PtSize"), 3);
    MakeView();
    EXPECT_EQ(Options(), std::tuple(2, 512, 0, RGB(0, 128, 255)));
}

TEST_F(StereoViewTest, TheControlIsTheLargestCentredSquare)
{
    MakeView();
    view->resize(150, 301);
    EXPECT_EQ(Ctrl().geometry(), QRect(0, 75, 150, 150));
    EXPECT_EQ(CStereoView::CentredSquare(0, 50), CRect(0, 25, 0, 25));
    view->resize(400, 200);
    EXPECT_EQ(Ctrl().geometry(), QRect(100, 0, 200, 200));
    const QImage shot = view->grab().toImage();
    EXPECT_EQ(std::tuple(shot.pixelColor(50, 100), shot.pixelColor(350, 100), shot.pixelColor(200, 100)),
        std::tuple(QColor(32, 32, 32), QColor(32, 32, 32), QColor(0, 0, 0))) << "dark grey bands beside it";
}

TEST_F(StereoViewTest, EveryOrEveryFourthFrameIsPlottedAndOffRemovesTheTrace)
{
    MakeView();
    Ctrl().OnCommand(ID_STM_ON); // the "On" item asks the view
    ASSERT_EQ(doc.MeterCount(), 1);
    ASSERT_TRUE(capture.WaitForIdle());
    DeliverSweep();
    EXPECT_EQ(Ctrl().Ring().LitCount(), 511) << "every frame plotted, the ring wrapped once";
    Ctrl().OnCommand(ID_STM_EVERY_4);
    Ctrl().SetCount(1024);
    DeliverSweep();
    EXPECT_EQ(Ctrl().Ring().LitCount(), 128);

    EXPECT_TRUE(view->OnCommand(ID_STEREO_ON_OFF));
    EXPECT_EQ(std::tuple(Ctrl().IsOn(), TraceIsGone(), driver.IsOpen()), std::tuple(0, true, false)) << "switching off removes the trace at once";
    EXPECT_FALSE(view->OnCommand(ID_STEREO_ON_OFF + 1));
}

TEST_F(StereoViewTest, AColourChangePausesTheMeterAndLeavesNoOldPoint)
{
    MakeView();
    COLORREF offered = 0;
    std::optional<COLORREF> answer;
    Ctrl().SetColorChooser([&](COLORREF current, QWidget*) {
        offered = current;
        return answer;
    });
    view->OnCommand(ID_STEREO_ON_OFF);
    ASSERT_TRUE(capture.WaitForIdle());
    DeliverSweep();
    const QImage before = Ctrl().BackBuffer().copy();
    Ctrl().ChooseColor();
    EXPECT_EQ(std::pair(Ctrl().BackBuffer() == before, offered), std::pair(true, RGB(255, 255, 0))) << "cancelled: nothing changes";
    answer = RGB(255, 0, 255);
    frame.m_meterOnCalls.clear();
    Ctrl().OnCommand(ID_STM_COLORS);
    EXPECT_EQ(std::tuple(frame.m_meterOnCalls, TraceIsGone(), Ctrl().PointColor()), std::tuple(std::vector<int> { 0, 1 }, true, RGB(255, 0, 255)));
    Ctrl().PlotPoint(0, 16384);
    const StereoPoint at = Ctrl().Geometry().Map(0, 16384);
    EXPECT_EQ(Ctrl().BackBuffer().pixel(at.x, at.y), fresh.pixel(at.x, at.y) ^ 0xFF00FFu) << "inverted with the new colour";
}

TEST_F(StereoViewTest, WorkspaceRecordCarriesTheOptions)
{
    MakeView();
    Ctrl().SetCount(256);
    Ctrl().SetPointSize(1);
    Ctrl().SetDecimation(1);
    view->OnCommand(ID_STEREO_ON_OFF);
    CWsp stored;
    view->OnUpdate(HINT_STORE, &stored);
    const std::array<std::int32_t, 10> params { 0, 1, 1, 256, 0, 1, 0, 0, 0, 0 };
    EXPECT_EQ(stored.m_winSets.at(0).m_nParam, params);

    ASSERT_TRUE(capture.WaitForIdle());
    DeliverSweep();
    ASSERT_FALSE(TraceIsGone());
    CWsp recalled = StereoWorkspace({ 0, 1, 2, 512, 0, 2, 0, 0, 0, 0 });
    view->OnUpdate(HINT_RESTORE, &recalled);
    EXPECT_TRUE(TraceIsGone()) << "another point count restarts the trace";
    EXPECT_EQ(Options(), std::tuple(2, 512, 2, RGB(255, 255, 0)));
    EXPECT_EQ(frame.m_rect, QRect(5, 0, 200, 200));
    DeliverSweep();
    ASSERT_EQ(Ctrl().Ring().LitCount(), 128);
    view->OnUpdate(HINT_RESTORE, &recalled);
    EXPECT_EQ(Ctrl().Ring().LitCount(), 128) << "the same count keeps the trace";

    CWsp foreign = StereoWorkspace({ 0, 0, 9, 5000, 0, 7, 0, 0, 0, 0 });
    view->OnUpdate(HINT_RESTORE, &foreign);
    EXPECT_EQ(Options(), std::tuple(2, 512, 0, RGB(255, 255, 0)));
    EXPECT_EQ(doc.MeterCount(), 0);
}
