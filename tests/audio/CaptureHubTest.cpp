// The hub on a real capture thread: the reference count that opens and closes
// the device, and a device that goes away under running instruments.
#include "tests/common/CaptureHubFixture.h"

#include <algorithm>
#include <atomic>

namespace {

using Names = std::vector<std::string>;

class CNoInputLoudness : public ILoudnessSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; }
    void ShowLoudness(const CLoudnessSnapshot&) override {}
    void ShowNoInput() override { ++m_nNoInput; }
    int m_nNoInput = 0, m_nOn = 0;
};

class InputLossTest : public CaptureHubFixture {
protected:
    void SetUp() override
    {
        StartHub({ "Line In", "USB Mic" });
        capture->Device().SetDeviceId(1);
        ppm.SetOn(1);
        stereo.SetOn(1);
        fft.SetOn(1);
        ASSERT_EQ(doc->MeterOn(), 1);
        ASSERT_TRUE(capture->WaitForIdle());
    }
    void LoseAndNotice()
    {
        ASSERT_TRUE(driver.LoseDevice());
        ASSERT_TRUE(SpinUntil([&] { return doc->IsInputLost(); }));
        ppm.m_events.clear();
        stereo.m_points.clear();
        fft.m_values.clear();
    }
};

TEST_F(InputLossTest, TheLossIsToldByNameAndTheInstrumentsFallAsInSilence)
{
    CNoInputLoudness loudness;
    doc->SetLoudness(&loudness);
    LoseAndNotice();
    EXPECT_EQ(host.m_lost, Names { "USB Mic" });
    EXPECT_EQ(std::make_pair(ppm.IsOn(), doc->MeterCount()), std::make_pair(1, 1));
    EXPECT_TRUE(notices.Notices().empty());
    loudness.SetOn(1);
    doc->ApplySilence();
    doc->ApplySilence();
    loudness.SetOn(0);
    EXPECT_EQ(loudness.m_nNoInput, 2);
    const Names expected { "value 0 0", "value 1 0", "tick", "value 0 0", "value 1 0", "tick" };
    EXPECT_EQ(ppm.m_events, expected);
    // Every frame of both blocks at the centre; the analyzer fed once per two blocks.
    ASSERT_EQ(stereo.m_points.size(), 1024u);
    EXPECT_TRUE(std::all_of(stereo.m_points.begin(), stereo.m_points.end(), [](const auto& p) { return p[0] == 0 && p[1] == 0; }));
    ASSERT_EQ(fft.m_values.size(), static_cast<std::size_t>(kBandCount));
    EXPECT_TRUE(std::all_of(fft.m_values.begin(), fft.m_values.end(), [](const auto& v) { return v[0] == 0; }));
    // With no packets coming, a timer keeps the meters falling.
    EXPECT_TRUE(SpinUntil([&] { return std::count(ppm.m_events.begin(), ppm.m_events.end(), "tick") >= 10; }));
    // Switching everything off ends the loss quietly.
    doc->MeterOff(true);
    EXPECT_FALSE(doc->IsInputLost() || doc->RetryLostInput() || driver.IsOpen());
    EXPECT_EQ(host.m_lost, (Names { "USB Mic", "" }));
    EXPECT_EQ(loudness.m_nNoInput, 2); // not while the meter is off
    doc->SetLoudness(nullptr);
}

TEST_F(InputLossTest, TheDeviceIsReopenedByItselfAndBlocksFlowAgain)
{
    LoseAndNotice();
    driver.SetBusy(true);
    EXPECT_FALSE(doc->RetryLostInput());
    EXPECT_TRUE(doc->IsInputLost());
    driver.SetBusy(false);
    ASSERT_TRUE(SpinUntil([&] { return !doc->IsInputLost(); })); // the retry timer
    EXPECT_EQ(host.m_lost, (Names { "USB Mic", "" }));
    EXPECT_EQ(capture->Device().DeviceId(), 1);
    ASSERT_TRUE(capture->WaitForIdle());
    ppm.m_events.clear();
    Deliver(2000, 100);
    doc->ApplyPackets();
    ASSERT_GE(ppm.m_events.size(), 2u);
    EXPECT_EQ(ppm.m_events[0], "value 0 2000");
    EXPECT_TRUE(notices.Notices().empty()); // no message box for the failed try
}

class MeterCountTest : public CaptureHubFixture {
protected:
    void SetUp() override { StartHub({ "Line In" }); }
};

TEST_F(MeterCountTest, FirstInstrumentOpensTheDeviceAndTheLastClosesAndClearsIt)
{
    driver.SetBusy(true);
    EXPECT_EQ(doc->MeterOn() + doc->MeterCount(), 0);
    driver.SetBusy(false);
    driver.RefuseRate(44100);
    ppm.SetOn(1);
    ASSERT_EQ(doc->MeterOn() + doc->MeterOn(), 2);
    EXPECT_EQ(driver.OpenCount(), 3); // the busy try, 44100 refused, 48000 taken
    EXPECT_EQ(fft.m_rates, std::vector<int> { 48000 });
    // Peaks fold negative samples: -32768 reads full scale, -1 silence.
    Deliver(-32768, -1);
    doc->ApplyPackets();
    EXPECT_EQ(ppm.m_events, (std::vector<std::string> { "value 0 32767", "value 1 0", "tick" }));
    doc->MeterOff(false);
    EXPECT_TRUE(driver.IsOpen());
    doc->MeterOff(false);
    EXPECT_FALSE(driver.IsOpen() || doc->MeterCount());
    EXPECT_EQ(ppm.m_events.back(), "reset -1 1"); // held peaks cleared too
    EXPECT_EQ(fft.m_resets, (std::vector<std::array<int, 2>> { { -1, 1 } }));
    EXPECT_EQ(notices.Notices().size(), 1u); // the busy device only
}

// Instruments toggled on the UI thread while another thread delivers blocks
// as fast as it can: run under ThreadSanitizer in CI.
TEST_F(MeterCountTest, TogglingInstrumentsWhileBlocksArriveIsRaceFree)
{
    std::atomic<bool> running { true };
    std::atomic<long> delivered { 0 };
    std::thread source([&] {
        for (std::int16_t value = 0; running.load(); value = static_cast<std::int16_t>(value + 97)) {
            if (driver.DeliverBlock(CTestWaveDriver::Block(value, static_cast<std::int16_t>(-value))))
                ++delivered;
            else
                std::this_thread::yield();
        }
    });
    for (int round = 0; round < 60; ++round) {
        ppm.SetOn(1);
        ASSERT_EQ(doc->MeterOn(), 1);
        stereo.SetOn(1);
        stereo.m_decimation = round % 3;
        ASSERT_EQ(doc->MeterOn(), 1);
        // Until a block arrived in this opening (bounded: a slow build cannot hang).
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
