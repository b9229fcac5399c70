// The loudness meter through the capture path: blocks from the test driver
// reach the hub on the capture thread, the readings reach the display in
// the packets; device opens start the integration again.
#include "meters/loudness/LoudnessFeed.h"
#include "tests/common/CaptureHubFixture.h"
#include "tests/meters/loudness/ToneSequence.h"

namespace {

class CFakeLoudness : public ILoudnessSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; }
    void ShowLoudness(const CLoudnessSnapshot& reading) override { m_last = reading, ++m_nShown; }
    void ShowNoInput() override { ++m_nNoInput; }
    int m_nNoInput = 0, m_nOn = 0, m_nShown = 0;
    CLoudnessSnapshot m_last;
};

class LoudnessCaptureTest : public CaptureHubFixture {
protected:
    void SetUp() override
    {
        StartHub({ "Line In" });
        doc->SetLoudness(&m_sink);
        doc->SetLoudnessFeed(&m_feed);
    }
    void SwitchOn(int rate)
    {
        capture->Device().SetSampleRate(rate);
        m_sink.SetOn(1);
        m_feed.SetOn(true);
        ASSERT_EQ(doc->MeterOn(), 1);
        ASSERT_TRUE(capture->WaitForIdle());
    }
    // The tone block by block as a paced device delivers it, the UI side
    // applying packets now and then.
    void DeliverTone(int rate, const std::vector<ToneStep>& steps)
    {
        int blocks = 0;
        CToneSequence(static_cast<unsigned>(rate), steps).Feed<std::int16_t>([&](const std::int16_t* block, std::size_t) {
            ASSERT_TRUE(driver.DeliverBlock(block));
            ASSERT_TRUE(capture->WaitForIdle());
            ASSERT_TRUE(doc->WaitForLoudness());
            if (++blocks % 64 == 0)
                doc->ApplyPackets();
        });
        doc->ApplyPackets();
    }

    CFakeLoudness m_sink;
    CLoudnessFeed m_feed;
};

// A -23 dBFS stereo 1 kHz tone reads -23 LUFS; reopening at the other rate
// starts again: 3 s at -33 then read -33, not the mixture (about -25).
TEST_F(LoudnessCaptureTest, ToneReadsItsLevelAndAReopenAtTheOtherRateStartsAgain)
{
    SwitchOn(48000);
    DeliverTone(48000, { { -23.0, 5.0 } });
    const CLoudnessSnapshot& r = m_sink.m_last;
    ASSERT_TRUE(r.Has(CLoudnessSnapshot::kIntegrated) && r.Has(CLoudnessSnapshot::kMomentary) && r.Has(CLoudnessSnapshot::kShortTerm));
    for (const double reading : { r.integrated, r.momentary, r.shortTerm })
        EXPECT_NEAR(reading, -23.0, 0.1);
    doc->MeterOff(true);
    SwitchOn(44100);
    DeliverTone(44100, { { -33.0, 3.0 } });
    ASSERT_TRUE(m_sink.m_last.Has(CLoudnessSnapshot::kIntegrated));
    EXPECT_NEAR(m_sink.m_last.integrated, -33.0, 0.1);
}

// A lost device: the loudness meter is told there is no input, at the
// silence timer's pace, and only while it is on.
TEST_F(LoudnessCaptureTest, ALostInputIsShownAsNoInput)
{
    SwitchOn(48000);
    DeliverTone(48000, { { -23.0, 1.0 } });
    ASSERT_TRUE(driver.LoseDevice());
    ASSERT_TRUE(SpinUntil([&] { return doc->IsInputLost(); }));
    m_sink.m_nNoInput = 0;
    doc->ApplySilence();
    m_sink.SetOn(0);
    doc->ApplySilence();
    EXPECT_EQ(m_sink.m_nNoInput, 1);
}

// A stalled display gets one reading for its backlog: the newest. The first
// blocks of a tone have no momentary value yet (it needs 400 ms); the newest
// reading after 0.65 s has.
TEST_F(LoudnessCaptureTest, ABacklogShowsTheNewestReading)
{
    m_feed.Open(48000);
    m_feed.SetOn(true), m_sink.SetOn(1);
    std::vector<std::int16_t> area(32 * 1024);
    int blocks = 0;
    CToneSequence(48000, { { -23.0, 0.65 } }).Feed<std::int16_t>([&](const std::int16_t* block, std::size_t frames) {
        if (frames != CVelmoraDoc::kFramesPerBlock)
            return;
        std::int16_t* buffer = area.data() + (1 + blocks++ % 30) * 1024;
        std::copy(block, block + 1024, buffer);
        doc->ProcessBlock(reinterpret_cast<const std::uint8_t*>(buffer), reinterpret_cast<const std::uint8_t*>(area.data()));
        ASSERT_TRUE(doc->WaitForLoudness());
    });
    ASSERT_GT(blocks, CVelmoraDoc::kMaxReplayPackets);
    doc->ApplyPackets();
    EXPECT_EQ(m_sink.m_nShown, 1);
    ASSERT_TRUE(m_sink.m_last.Has(CLoudnessSnapshot::kMomentary));
    EXPECT_NEAR(m_sink.m_last.momentary, -23.0, 0.1);
}

} // namespace
