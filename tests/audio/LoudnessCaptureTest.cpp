// The loudness meter through the capture path: blocks from the test driver
// reach the hub on the capture thread, the readings reach the display in
// the packets; device opens start the integration again.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/loudness/LoudnessFeed.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/meters/loudness/ToneSequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CFakeLoudness : public ILoudnessSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; }
    void ShowLoudness(const CLoudnessSnapshot& reading) override
    {
        m_last = reading;
        ++m_nShown;
    }
    int m_nOn = 0;
    int m_nShown = 0;
    CLoudnessSnapshot m_last;
};

class LoudnessCaptureTest : public ::testing::Test {
protected:
    LoudnessCaptureTest()
    {
        m_driver.AddDevice("Line In");
        m_capture.CreateThread();
        m_doc.SetLoudness(&m_sink);
        m_doc.SetLoudnessFeed(&m_feed);
        m_capture.Device().EnumerateDevices();
    }
    ~LoudnessCaptureTest() override
    {
        m_doc.MeterOff(true);
        m_capture.EndThread();
    }
    void SwitchOn(int rate)
    {
        m_capture.Device().SetSampleRate(rate);
        m_sink.SetOn(1);
        m_feed.SetOn(true);
        ASSERT_EQ(m_doc.MeterOn(), 1);
        ASSERT_TRUE(m_capture.WaitForIdle());
    }
    // Delivers the tone block by block as a paced device would, the UI
    // side applying packets now and then.
    void Deliver(int rate, const std::vector<ToneStep>& steps)
    {
        int blocks = 0;
        CToneSequence(static_cast<unsigned>(rate), steps).Feed<std::int16_t>([&](const std::int16_t* block, std::size_t) {
            ASSERT_TRUE(m_driver.DeliverBlock(block));
            ASSERT_TRUE(m_capture.WaitForIdle());
            if (++blocks % 64 == 0)
                m_doc.ApplyPackets();
        });
        m_doc.ApplyPackets();
    }

    CTestWaveDriver m_driver; // outlives the capture object
    CAudioCapture m_capture;
    CVelmoraDoc m_doc { m_capture };
    CFakeLoudness m_sink;
    CLoudnessFeed m_feed;
};

}

// A -23 dBFS stereo 1 kHz tone reads -23 LUFS; reopening at the other rate
// starts again: 3 s at -33 then read -33, not the mixture (about -25).
TEST_F(LoudnessCaptureTest, ToneReadsItsLevelAndAReopenAtTheOtherRateStartsAgain)
{
    SwitchOn(48000);
    Deliver(48000, { { -23.0, 5.0 } });
    const CLoudnessSnapshot& r = m_sink.m_last;
    ASSERT_TRUE(r.Has(CLoudnessSnapshot::kIntegrated));
    ASSERT_TRUE(r.Has(CLoudnessSnapshot::kMomentary));
    ASSERT_TRUE(r.Has(CLoudnessSnapshot::kShortTerm));
    EXPECT_NEAR(r.integrated, -23.0, 0.1);
    EXPECT_NEAR(r.momentary, -23.0, 0.1);
    EXPECT_NEAR(r.shortTerm, -23.0, 0.1);
    m_doc.MeterOff(true);
    SwitchOn(44100);
    Deliver(44100, { { -33.0, 3.0 } });
    ASSERT_TRUE(m_sink.m_last.Has(CLoudnessSnapshot::kIntegrated));
    EXPECT_NEAR(m_sink.m_last.integrated, -33.0, 0.1);
}

// A stalled display gets one reading for its backlog: the newest. The first
// blocks of a tone have no momentary value yet (it needs 400 ms); the newest
// reading after 0.65 s has.
TEST_F(LoudnessCaptureTest, ABacklogShowsTheNewestReading)
{
    m_feed.Open(48000);
    m_feed.SetOn(true);
    m_sink.SetOn(1);
    std::vector<std::int16_t> area(32 * 1024);
    int blocks = 0;
    CToneSequence(48000, { { -23.0, 0.65 } }).Feed<std::int16_t>([&](const std::int16_t* block, std::size_t frames) {
        if (frames != CVelmoraDoc::kFramesPerBlock)
            return;
        std::int16_t* buffer = area.data() + (1 + blocks++ % 30) * 1024;
        std::copy(block, block + 1024, buffer);
        m_doc.ProcessBlock(reinterpret_cast<const std::uint8_t*>(buffer), reinterpret_cast<const std::uint8_t*>(area.data()));
    });
    ASSERT_GT(blocks, CVelmoraDoc::kMaxReplayPackets);
    m_doc.ApplyPackets();
    EXPECT_EQ(m_sink.m_nShown, 1);
    ASSERT_TRUE(m_sink.m_last.Has(CLoudnessSnapshot::kMomentary));
    EXPECT_NEAR(m_sink.m_last.momentary, -23.0, 0.1);
}
