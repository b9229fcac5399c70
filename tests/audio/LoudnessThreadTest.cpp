// The loudness measurement on its own thread behind the hub.
#include "audio/LoudnessThread.h"
#include "meters/loudness/LoudnessCtrl.h"
#include "meters/loudness/LoudnessFeed.h"
#include "tests/audio/HandFedHub.h"
#include "tests/common/Decibels.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr int kRate = 48000;

// The real measurement behind a gate: while it is closed the loudness
// thread stops at its next block, as a thread starved of CPU would.
class CGatedFeed : public ILoudnessFeed {
public:
    bool IsOnForCapture() const override { return feed.IsOnForCapture(); }
    std::uint32_t Generation() const override { return feed.Generation(); }
    bool Open(unsigned long rate, std::uint32_t generation) override { return feed.Open(rate, generation); }
    bool Measure(const std::int16_t* samples, std::size_t frames, std::uint32_t generation, CLoudnessSnapshot& reading) override
    {
        ++m_nHeld;
        while (!m_bOpen.load())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        --m_nHeld;
        return feed.Measure(samples, frames, generation, reading);
    }
    bool WaitUntilHeld()
    {
        for (int i = 0; i < 10000 && m_nHeld.load() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return m_nHeld.load() > 0;
    }

    CLoudnessFeed feed;
    std::atomic<bool> m_bOpen { true };
    std::atomic<int> m_nHeld { 0 };
};

// A stereo sine near 1 kHz at `dbfs` over the whole sample area, of a whole
// number of periods, so the blocks join seamlessly however they are delivered.
void FillTone(CHandFedHub& hub, double dbfs)
{
    const std::size_t frames = hub.area.size() / 2;
    const double kPeriods = std::round(997.0 * static_cast<double>(frames) / hub.capture.Device().SampleRate());
    const double amplitude = std::pow(10.0, dbfs / 20.0) * 32768.0;
    for (std::size_t f = 0; f < frames; ++f) {
        const auto x = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * kPeriods * static_cast<double>(f) / static_cast<double>(frames))));
        hub.area[2 * f] = hub.area[2 * f + 1] = x;
    }
}

// With `wait`, each block is measured before the next comes.
void Deliver(CHandFedHub& hub, int count, bool wait, int& next)
{
    for (int i = 0; i < count; ++i) {
        hub.Deliver(next++ % CHandFedHub::kBuffers);
        if (wait) {
            ASSERT_TRUE(hub.doc.WaitForLoudness());
        }
    }
}

class LoudnessThreadTest : public ::testing::Test {
protected:
    LoudnessThreadTest()
    {
        ctrl.Create(0, 0, 220, 360, lud::kCtrlId);
        ctrl.SetFeed(&gated.feed);
        ctrl.SetOn(1);
        hub.capture.Device().SetSampleRate(kRate);
        hub.doc.SetLoudness(&ctrl);
        hub.doc.SetLoudnessFeed(&gated);
        hub.doc.OnInputOpened();
    }
    void Deliver(int count, bool wait) { ::Deliver(hub, count, wait, m_nNext); }
    // A steady stereo tone at `dbfs` sample peak reads that level as loudness
    // too: the 997 Hz K-weighting gain and the channel sum cancel to a tenth.
    void ExpectSteadyToneShown(double dbfs)
    {
        const CLoudnessSnapshot& r = ctrl.Reading();
        ASSERT_TRUE(r.Has(CLoudnessSnapshot::kMomentary) && r.Has(CLoudnessSnapshot::kIntegrated));
        EXPECT_NEAR(Db(r.samplePeak[0]), dbfs, 0.1);
        EXPECT_NEAR(r.momentary, dbfs, 0.1);
        EXPECT_NEAR(r.integrated, dbfs, 0.1);
    }

    // Declared before the hub, so the hub's loudness thread stops first.
    CGatedFeed gated;
    CLoudnessCtrl ctrl;
    CHandFedHub hub;
    int m_nNext = 0;
};

// A starved thread drops and counts blocks without harm and measures on
// afterwards; then a reset hides every reading from before it.
TEST_F(LoudnessThreadTest, AStarvedThreadDropsBlocksAndNoReadingFromBeforeAResetIsShownAfterIt)
{
    FillTone(hub, -23.0);
    gated.m_bOpen = false;
    Deliver(1, false);
    ASSERT_TRUE(gated.WaitUntilHeld());
    // The held block keeps its slot, so the ring takes one block fewer.
    Deliver(static_cast<int>(CLoudnessThread::kRingBlocks) - 1, false);
    EXPECT_EQ(hub.doc.DroppedLoudnessBlocks(), 0u);
    // A louder tone now: none of it may reach the measurement.
    constexpr int kOverflow = 100;
    FillTone(hub, -1.0);
    Deliver(kOverflow, false);
    EXPECT_EQ(hub.doc.DroppedLoudnessBlocks(), static_cast<std::uint64_t>(kOverflow));
    EXPECT_GE(hub.doc.Dropouts(), static_cast<std::uint64_t>(kOverflow));
    FillTone(hub, -23.0);
    gated.m_bOpen = true;
    ASSERT_TRUE(hub.doc.WaitForLoudness());
    hub.doc.ApplyPackets();
    Deliver(60, true);
    hub.doc.ApplyPackets();
    ExpectSteadyToneShown(-23.0);
    EXPECT_EQ(hub.doc.DroppedLoudnessBlocks(), static_cast<std::uint64_t>(kOverflow));

    // One more packet with a -23 reading, not yet applied when the user resets.
    Deliver(1, true);
    gated.m_bOpen = false;
    ctrl.ResetIntegration();
    // The held thread has published only -23 readings; the capture side
    // must not pass them on, nor the display show the waiting one.
    FillTone(hub, -30.0);
    Deliver(3, false);
    hub.doc.ApplyPackets();
    EXPECT_EQ(ctrl.Reading().valid, 0);
    EXPECT_EQ(ctrl.Reading().samplePeak[0], 0.0f);
    gated.m_bOpen = true;
    Deliver(60, true);
    hub.doc.ApplyPackets();
    // Only the quiet tone was measured since: the reset landed on its first block.
    ExpectSteadyToneShown(-30.0);
}

// The first hub goes while its loudness thread still has a backlog; the
// feed then serves a second hub at the other rate and measures only what that
// one delivers (-10 dB blocks in its integration would lift it far above -30).
TEST(LoudnessThreadTeardown, AHubTornDownMidStreamLeavesTheFeedToTheNext)
{
    CLoudnessFeed feed;
    feed.SetOn(true);
    int next = 0;
    {
        CHandFedHub first;
        first.capture.Device().SetSampleRate(kRate);
        first.doc.SetLoudnessFeed(&feed);
        first.doc.OnInputOpened();
        FillTone(first, -10.0);
        Deliver(first, 300, false, next);
    }
    CHandFedHub second;
    second.capture.Device().SetSampleRate(44100);
    second.doc.SetLoudnessFeed(&feed);
    second.doc.OnInputOpened();
    FillTone(second, -30.0);
    Deliver(second, 60, true, next);
    CLoudnessSnapshot r;
    ASSERT_TRUE(feed.ProcessBlock(second.Buffer(next % CHandFedHub::kBuffers), CHandFedHub::kFrames, r));
    ASSERT_TRUE(r.Has(CLoudnessSnapshot::kMomentary));
    EXPECT_NEAR(Db(r.samplePeak[0]), -30.0, 0.1);
    EXPECT_NEAR(r.momentary, -30.0, 0.1);
    EXPECT_NEAR(r.integrated, -30.0, 0.1);
}

} // namespace
