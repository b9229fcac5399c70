// The analyzer fed from the scriptable test driver through the capture
// thread, the sample hub and its packet ring, as the running program feeds it.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/analyzer/FftView.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/common/ViewTestBench.h"

#include "FftSignals.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
constexpr int kBlockFrames = 512;

class FftEndToEndTest : public CViewTestBench {
protected:
    FftEndToEndTest() { CFftView::ResetClassState(); }
    ~FftEndToEndTest() override
    {
        doc.SetFft(nullptr);
        doc.SetAnalyzerFeed(nullptr);
    }

    void SetUp() override
    {
        view = std::make_unique<CFftView>(host);
        view->SetFrame(&frame);
        view->OnInitialUpdate();
        view->OnCommand(32781);
        ASSERT_EQ(view->Ctrl()->IsOn(), 1);
        ASSERT_TRUE(capture.WaitForIdle());
        ASSERT_EQ(capture.m_bOpened.load(), 1);
    }
    void TearDown() override
    {
        if (view->Ctrl()->IsOn())
            view->OnCommand(32781);
        EXPECT_FALSE(driver.IsOpen());
    }

    // Blocks one at a time, as a paced device delivers them; the packets are
    // applied as the UI thread applies them when woken.
    void Deliver(const std::vector<std::int16_t>& signal, int firstBlock, int blocks)
    {
        for (int b = firstBlock; b < firstBlock + blocks; ++b) {
            ASSERT_TRUE(driver.DeliverBlock(signal.data() + 2 * kBlockFrames * b));
            ASSERT_TRUE(capture.WaitForIdle());
            doc.ApplyPackets();
        }
    }
    unsigned Level(int bar) { return view->Ctrl()->Bar(static_cast<unsigned>(bar)).Level(); }

    std::unique_ptr<CFftView> view;
};
}

TEST_F(FftEndToEndTest, OneKilohertzAt44100LightsItsTwoBarsWithBlackman)
{
    // 3 s of a full-scale 1 kHz sine, exactly as sox's "synth 3 sine 1000" makes it.
    const auto tone = fftsig::Sine(1000, 44100, 32767, 130);
    Deliver(tone, 0, 16);
    ASSERT_GT(Level(73), 300u);
    // Bars only rise until the tick lets them fall: start afresh from a
    // steady tone, without the first frame that began in silence.
    view->Ctrl()->ResetBars(-1, 1);
    Deliver(tone, 16, 16);
    EXPECT_NEAR(static_cast<int>(Level(73)), 355, 1); // about -1.0 dB
    EXPECT_NEAR(static_cast<int>(Level(74)), 352, 1); // about -1.6 dB
    EXPECT_LT(Level(72), 190u);                        // below -34 dB
    EXPECT_LT(Level(75), 190u);
    EXPECT_LT(Level(20), 20u);
    EXPECT_EQ(doc.DroppedPackets(), 0u);
}

TEST_F(FftEndToEndTest, LeftMinusRightOfEqualChannelsShowsNothing)
{
    view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + fft::kInputLeftMinusRight);
    const auto tone = fftsig::Sine(1000, 44100, 20000, 8);
    Deliver(tone, 0, 16);
    for (unsigned i = 0; i < 128; ++i)
        ASSERT_EQ(view->Ctrl()->Bar(i).Level(), 0u) << "bar " << i;
    // The same input on "Left" alone is loud at once.
    view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + fft::kInputLeft);
    Deliver(tone, 0, 8);
    EXPECT_GT(Level(73), 330u);
}

TEST_F(FftEndToEndTest, SwitchingOffStopsCaptureAndClearsTheBars)
{
    const auto tone = fftsig::Sine(1000, 44100, 32767, 8);
    Deliver(tone, 0, 8);
    ASSERT_GT(Level(73), 300u);
    view->OnCommand(32781);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(Level(73), 0u); // the hub clears the bars when capture stops
    EXPECT_FALSE(driver.DeliverBlock(tone.data()));
}
