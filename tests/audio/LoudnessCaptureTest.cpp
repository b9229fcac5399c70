// The loudness meter through the capture path: readings reach the display in
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
    // The tone as a paced device delivers it, the UI side applying packets now and then.
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

    // A lost input shows as no input, at the silence timer's pace, while the meter is on.
    ASSERT_TRUE(driver.LoseDevice());
    ASSERT_TRUE(SpinUntil([&] { return doc->IsInputLost(); }));
    m_sink.m_nNoInput = 0;
    doc->ApplySilence();
    m_sink.SetOn(0);
    doc->ApplySilence();
    EXPECT_EQ(m_sink.m_nNoInput, 1);
}

} // namespace
