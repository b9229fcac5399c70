// The stereo meter's view: stored settings, the feed through the capture
// thread and its workspace record.
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
    std::tuple<int, int, int, COLORREF> Options()
    {
        return { Ctrl().PointSize(), Ctrl().Count(), Ctrl().DecimationForCapture(), Ctrl().PointColor() };
    }
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

    std::unique_ptr<CStereoView> view;
    QImage fresh;
};
}

TEST_F(StereoViewTest, SettingsSurviveARun)
{
    MakeView();
    EXPECT_EQ(Options(), std::tuple(2, 512, 0, RGB(255, 255, 0)));
    EXPECT_EQ(view->EraseColor(), RGB(32, 32, 32));
    Ctrl().SetCount(1024);
    Ctrl().SetPointSize(1);
    Ctrl().SetDecimation(2);
    Ctrl().SetPointColor(RGB(0, 128, 255));
    view->OnDestroy();
    const std::pair<const char*, int> entries[] = { { "PtSize", 1 }, { "PtCount", 1024 }, { "Raster", 2 },
        { "Color", 0xFF8000 } };
    for (const auto& [entry, value] : entries)
        EXPECT_EQ(CSettingsStore::GetInt(kSection, QString::fromLatin1(entry), -1), value) << entry;
    MakeView();
    EXPECT_EQ(Options(), std::tuple(1, 1024, 2, RGB(0, 128, 255)));
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
    EXPECT_EQ(std::tuple(Ctrl().IsOn(), TraceIsGone(), driver.IsOpen()), std::tuple(0, true, false));
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
    EXPECT_EQ(stored.m_winSets.at(0).m_nParam, (std::array<std::int32_t, 10> { 0, 1, 1, 256, 0, 1, 0, 0, 0, 0 }));
    ASSERT_TRUE(capture.WaitForIdle());
    DeliverSweep();
    // Another point count restarts the trace; foreign values read as defaults.
    stored.m_winSets[0].m_nParam = { 0, 0, 9, 5000, 0, 7, 0, 0, 0, 0 };
    view->OnUpdate(HINT_RESTORE, &stored);
    EXPECT_EQ(std::tuple(TraceIsGone(), Options(), doc.MeterCount()),
        std::tuple(true, std::tuple(2, 512, 0, RGB(255, 255, 0)), 0));
}
