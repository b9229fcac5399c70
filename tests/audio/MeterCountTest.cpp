// The hub's reference count: the device is open exactly while an instrument is on.
#include "tests/common/CaptureHubFixture.h"

#include <atomic>

namespace {

class MeterCountTest : public CaptureHubFixture {
protected:
    void SetUp() override { StartHub({ "Line In" }); }
};

TEST_F(MeterCountTest, FirstInstrumentOpensTheDeviceAndTheLastClosesAndClearsIt)
{
    driver.SetBusy(true);
    EXPECT_EQ(doc->MeterOn(), 0);
    EXPECT_EQ(doc->MeterCount(), 0);
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
    EXPECT_EQ(ppm.m_events.size(), 3u);
    doc->MeterOff(false);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(doc->MeterCount(), 0);
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
