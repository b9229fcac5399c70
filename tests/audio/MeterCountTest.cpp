// The hub's reference count against the real capture thread and the
// scriptable driver: the device is open exactly while an instrument is on.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/audio/FakeSinks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class MeterCountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.AddDevice("Line In");
        capture = std::make_unique<CAudioCapture>();
        ASSERT_TRUE(capture->CreateThread());
        doc = std::make_unique<CVelmoraDoc>(*capture);
        doc->SetPpm(&ppm);
        doc->SetFft(&fft);
        doc->SetStereo(&stereo);
        ASSERT_EQ(capture->Device().EnumerateDevices(), 1);
    }
    void TearDown() override
    {
        capture->m_bStop = 1;
        if (doc->MeterCount() > 0)
            doc->MeterOff(true);
        doc.reset();
        capture.reset();
    }

    CNoticeRecorder notices;
    CTestWaveDriver driver;
    std::unique_ptr<CAudioCapture> capture;
    std::unique_ptr<CVelmoraDoc> doc;
    CFakePpm ppm;
    CFakeFft fft;
    CFakeStereo stereo;
};

TEST_F(MeterCountTest, FirstInstrumentOpensTheDeviceAndTheLastClosesIt)
{
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_FALSE(driver.DeliverBlock(CTestWaveDriver::Block(1, 1)));

    ASSERT_EQ(doc->MeterOn(), 1);
    EXPECT_TRUE(driver.IsOpen());
    ASSERT_EQ(doc->MeterOn(), 1);
    EXPECT_EQ(driver.OpenCount(), 1);

    doc->MeterOff(false);
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_TRUE(ppm.m_events.empty());

    doc->MeterOff(false);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(doc->MeterCount(), 0);
    // Stopping clears the bars, held peaks included.
    ASSERT_FALSE(ppm.m_events.empty());
    EXPECT_EQ(ppm.m_events.back(), "reset -1 1");
    ASSERT_EQ(fft.m_resets.size(), 1u);
    EXPECT_EQ(fft.m_resets[0][0], -1);
    EXPECT_EQ(fft.m_resets[0][1], 1);
    EXPECT_TRUE(notices.Notices().empty());
}

TEST_F(MeterCountTest, BlocksFlowToTheInstrumentsWhileOpen)
{
    ppm.SetOn(1);
    ASSERT_EQ(doc->MeterOn(), 1);
    ASSERT_TRUE(driver.DeliverBlock(CTestWaveDriver::Block(-32768, 1234)));
    ASSERT_TRUE(capture->WaitForIdle());
    doc->ApplyPackets();
    ASSERT_GE(ppm.m_events.size(), 3u);
    EXPECT_EQ(ppm.m_events[0], "value 0 32767");
    EXPECT_EQ(ppm.m_events[1], "value 1 1234");
    EXPECT_EQ(ppm.m_events[2], "tick");
}

TEST_F(MeterCountTest, AFailedOpenLeavesTheCountAndReportsOnce)
{
    driver.SetBusy(true);
    EXPECT_EQ(doc->MeterOn(), 0);
    EXPECT_EQ(doc->MeterCount(), 0);
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(notices.Notices()[0].caption, QStringLiteral("Recorder"));
    driver.SetBusy(false);
    EXPECT_EQ(doc->MeterOn(), 1);
    EXPECT_EQ(doc->MeterCount(), 1);
}

TEST_F(MeterCountTest, FallbackTo48000TellsTheAnalyzer)
{
    driver.RefuseRate(44100);
    capture->Device().SetSampleRate(44100);
    ASSERT_EQ(doc->MeterOn(), 1);
    EXPECT_EQ(capture->Device().SampleRate(), 48000);
    EXPECT_EQ(fft.m_rates, std::vector<int> { 48000 });
    EXPECT_TRUE(notices.Notices().empty());
}

TEST_F(MeterCountTest, AllMetersOffSwitchesEachOneOffAndClosesAfterTheLast)
{
    ppm.SetOn(1);
    stereo.SetOn(1);
    ASSERT_EQ(doc->MeterOn(), 1);
    ASSERT_EQ(doc->MeterOn(), 1);
    doc->AllMetersOff();
    EXPECT_EQ(ppm.IsOn(), 0);
    EXPECT_EQ(stereo.IsOn(), 0);
    EXPECT_EQ(doc->MeterCount(), 0);
    EXPECT_FALSE(driver.IsOpen());
}

// A minimised meter shows itself off but still holds its count.
class CSuspendedPpm : public CFakePpm {
public:
    int IsOn() const override { return m_bSuspended ? 0 : m_nOn; }
    int IsSwitchedOn() const override { return m_nOn; }
    bool m_bSuspended = true;
};

TEST_F(MeterCountTest, AllMetersOffAlsoSwitchesOffAMinimisedMeterSoTheDeviceCloses)
{
    CSuspendedPpm minimised;
    doc->SetPpm(&minimised);
    minimised.SetOn(1);
    ASSERT_EQ(doc->MeterOn(), 1);
    doc->AllMetersOff();
    EXPECT_EQ(minimised.IsSwitchedOn(), 0);
    EXPECT_EQ(doc->MeterCount(), 0);
    EXPECT_FALSE(driver.IsOpen());
    doc->SetPpm(&ppm);
}

// Instruments toggled on and off on the UI thread while another thread
// delivers blocks as fast as it can: run under ThreadSanitizer in CI.
TEST_F(MeterCountTest, TogglingInstrumentsWhileBlocksArriveIsRaceFree)
{
    std::atomic<bool> running { true };
    std::atomic<long> delivered { 0 };
    std::thread source([&] {
        std::int16_t value = 0;
        while (running.load()) {
            if (driver.DeliverBlock(CTestWaveDriver::Block(value, static_cast<std::int16_t>(-value))))
                ++delivered;
            else
                std::this_thread::yield();
            value = static_cast<std::int16_t>(value + 97);
        }
    });
    for (int round = 0; round < 60; ++round) {
        ppm.SetOn(1);
        ASSERT_EQ(doc->MeterOn(), 1);
        stereo.SetOn(1);
        stereo.m_decimation = round % 3;
        ASSERT_EQ(doc->MeterOn(), 1);
        // Until the source has delivered at least one block into this
        // opening (bounded, so a slow machine cannot hang the test).
        const long before = delivered.load();
        for (int i = 0; i < 5 || (delivered.load() == before && i < 200000); ++i) {
            doc->ApplyPackets();
            std::this_thread::yield();
        }
        ppm.SetOn(0);
        doc->MeterOff(false);
        stereo.SetOn(0);
        doc->MeterOff(false);
    }
    running = false;
    source.join();
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_GT(delivered.load(), 0);
    EXPECT_EQ(driver.OpenCount(), 60);
}

} // namespace
