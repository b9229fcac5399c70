// A device that goes away under running instruments, and a UI thread that
// falls behind: the hub against the real capture thread and the scriptable
// driver.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/audio/FakeSinks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

namespace {

class CRecordingHost : public IDocumentHost {
public:
    void RedrawMainWindow() override {}
    void ShowInputLost(const QString& device) override { m_lost.push_back(device.toStdString()); }
    void ShowDropouts(std::uint64_t count) override { m_dropouts.push_back(count); }
    std::vector<std::string> m_lost;
    std::vector<std::uint64_t> m_dropouts;
};

class InputLossTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.AddDevice("Line In");
        driver.AddDevice("USB Mic");
        capture = std::make_unique<CAudioCapture>();
        ASSERT_TRUE(capture->CreateThread());
        doc = std::make_unique<CVelmoraDoc>(*capture);
        doc->SetPpm(&ppm);
        doc->SetFft(&fft);
        doc->SetStereo(&stereo);
        doc->SetHost(&host);
        ASSERT_EQ(capture->Device().EnumerateDevices(), 2);
        capture->Device().SetDeviceId(1);
        ppm.SetOn(1);
        stereo.SetOn(1);
        fft.SetOn(1);
        ASSERT_EQ(doc->MeterOn(), 1);
        ASSERT_TRUE(capture->WaitForIdle());
    }
    void TearDown() override
    {
        capture->m_bStop = 1;
        if (doc->MeterCount() > 0)
            doc->MeterOff(true);
        doc.reset();
        capture.reset();
    }
    // Runs the UI thread's event loop until `done` or 5 s have passed.
    template <typename Done> bool SpinUntil(Done done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }
    void LoseAndNotice()
    {
        ASSERT_TRUE(driver.LoseDevice());
        ASSERT_TRUE(SpinUntil([&] { return doc->IsInputLost(); }));
    }

    CNoticeRecorder notices;
    CTestWaveDriver driver;
    std::unique_ptr<CAudioCapture> capture;
    std::unique_ptr<CVelmoraDoc> doc;
    CFakePpm ppm;
    CFakeFft fft;
    CFakeStereo stereo;
    CRecordingHost host;
};

TEST_F(InputLossTest, TheHostIsToldAtOnceWithTheDeviceNameAndTheInstrumentsStayOn)
{
    LoseAndNotice();
    EXPECT_EQ(host.m_lost, std::vector<std::string> { "USB Mic" });
    EXPECT_EQ(ppm.IsOn(), 1);
    EXPECT_EQ(stereo.IsOn(), 1);
    EXPECT_EQ(doc->MeterCount(), 1);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_TRUE(notices.Notices().empty());
}

TEST_F(InputLossTest, WhileLostTheInstrumentsFallAsInSilence)
{
    LoseAndNotice();
    ppm.m_events.clear();
    stereo.m_points.clear();
    fft.m_values.clear();
    doc->ApplySilence();
    doc->ApplySilence();
    const std::vector<std::string> expected { "value 0 0", "value 1 0", "tick", "value 0 0", "value 1 0", "tick" };
    EXPECT_EQ(ppm.m_events, expected);
    // Every frame of a block plotted at the centre, twice.
    ASSERT_EQ(stereo.m_points.size(), 1024u);
    EXPECT_TRUE(std::all_of(stereo.m_points.begin(), stereo.m_points.end(),
                            [](const auto& p) { return p[0] == 0 && p[1] == 0; }));
    // The analyzer is fed every second block, like the capture side does.
    ASSERT_EQ(fft.m_values.size(), static_cast<std::size_t>(kBandCount));
    EXPECT_TRUE(std::all_of(fft.m_values.begin(), fft.m_values.end(), [](const auto& v) { return v[0] == 0; }));
}

TEST_F(InputLossTest, TheDecayTimerRunsAtTheBlockPeriodWithoutPackets)
{
    LoseAndNotice();
    ppm.m_events.clear();
    // 44100 Hz: one block every 11.6 ms, so 300 ms hold about 25 ticks.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const auto ticks = std::count(ppm.m_events.begin(), ppm.m_events.end(), "tick");
    EXPECT_GE(ticks, 15);
    EXPECT_LE(ticks, 30);
}

TEST_F(InputLossTest, TheDeviceIsReopenedByItselfAndBlocksFlowAgain)
{
    LoseAndNotice();
    driver.SetBusy(true);
    EXPECT_FALSE(doc->RetryLostInput());
    EXPECT_TRUE(doc->IsInputLost());
    driver.SetBusy(false);
    // The retry timer (once a second) finds the device back.
    ASSERT_TRUE(SpinUntil([&] { return !doc->IsInputLost(); }));
    EXPECT_EQ(host.m_lost, (std::vector<std::string> { "USB Mic", "" }));
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(capture->Device().DeviceId(), 1);
    ASSERT_TRUE(capture->WaitForIdle());
    ppm.m_events.clear();
    ASSERT_TRUE(driver.DeliverBlock(CTestWaveDriver::Block(2000, 100)));
    ASSERT_TRUE(capture->WaitForIdle());
    doc->ApplyPackets();
    ASSERT_GE(ppm.m_events.size(), 2u);
    EXPECT_EQ(ppm.m_events[0], "value 0 2000");
    // No message box for the failed try.
    EXPECT_TRUE(notices.Notices().empty());
}

TEST_F(InputLossTest, SwitchingEverythingOffEndsTheLossQuietly)
{
    LoseAndNotice();
    doc->MeterOff(true);
    EXPECT_FALSE(doc->IsInputLost());
    EXPECT_EQ(host.m_lost, (std::vector<std::string> { "USB Mic", "" }));
    EXPECT_FALSE(doc->RetryLostInput());
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(InputLossTest, DroppedPacketsShowAsDropoutsUntilReset)
{
    // The UI thread takes nothing while the ring fills up and overflows.
    for (int i = 0; i < CVelmoraDoc::kPacketRingSize + 3; ++i) {
        ASSERT_TRUE(driver.DeliverBlock(CTestWaveDriver::Block(1, 1)));
        ASSERT_TRUE(capture->WaitForIdle());
    }
    EXPECT_EQ(doc->Dropouts(), 3u);
    doc->PollDropouts();
    ASSERT_FALSE(host.m_dropouts.empty());
    EXPECT_EQ(host.m_dropouts.back(), 3u);
    doc->ResetDropouts();
    EXPECT_EQ(doc->Dropouts(), 0u);
    EXPECT_EQ(host.m_dropouts.back(), 0u);
}

} // namespace
