#include "tests/audio/HandFedHub.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Events = std::vector<std::string>;

// A PPM reading in dB whose level per channel is the block's first sample over full scale.
class CLevelPpm : public CFakePpm {
public:
    bool MeasureForCapture(const std::int16_t* block, int, int, float* levels, int& mode) override
    {
        levels[0] = static_cast<float>(block[0]) / 32768.0f;
        levels[1] = static_cast<float>(block[1]) / 32768.0f;
        mode = 3;
        return true;
    }
    void SetLevels(const float* levels, double, int) override { m_levels.push_back({ levels[0], levels[1] }); }
    std::vector<std::array<float, 2>> m_levels;
};

class SampleHubTest : public ::testing::Test, public CHandFedHub {
protected:
    long Ticks() const { return std::count(ppm.m_events.begin(), ppm.m_events.end(), "tick"); }
};

// A UI thread stalled for two seconds (172 blocks) shows the state at the
// end of the backlog, not a replay of it; a backlog as short as the replay
// limit is still replayed block by block.
TEST_F(SampleHubTest, ABacklogIsMergedIntoItsLoudestPeaksAndMostRecentReadings)
{
    CLevelPpm levels;
    doc.SetPpm(&levels);
    levels.SetOn(1);
    stereo.SetOn(1);
    cor.SetOn(1);
    fft.SetOn(1);
    constexpr int kBacklog = 172;
    for (int i = 0; i < kBacklog; ++i) {
        // One loud block on each side early on.
        FillBuffer(1 + i % 30, static_cast<std::int16_t>(i == 20 ? 16384 : 100 + i), static_cast<std::int16_t>(i == 150 ? 8192 : 50));
        Deliver(1 + i % 30);
    }
    doc.ApplyPackets();
    ASSERT_EQ(levels.m_events.size(), 2u + kBacklog);
    EXPECT_EQ(Events(levels.m_events.begin(), levels.m_events.begin() + 2), (Events { "value 0 16384", "value 1 8192" }));
    EXPECT_EQ(levels.m_levels, (std::vector<std::array<float, 2>> { { 0.5f, 0.25f } }));
    // The trace gets the last four blocks only, in order, the newest last.
    ASSERT_EQ(stereo.m_points.size(), 4u * kFrames);
    EXPECT_EQ(std::make_pair(stereo.m_points.front()[0], stereo.m_points.back()[0]), std::make_pair(100 + kBacklog - 4, 100 + kBacklog - 1));
    // One correlation reading and one set of bars: the most recent.
    EXPECT_EQ(cor.m_shown.size(), 1u);
    ASSERT_EQ(fft.m_values.size(), static_cast<std::size_t>(kBandCount));
    EXPECT_EQ(fft.m_values[0][0], feed.m_nWindows);

    // A silent backlog reads silence, whatever the one before it read.
    levels.m_levels.clear();
    for (int i = 0; i < 20; ++i) {
        FillBuffer(1 + i, 0, 0);
        Deliver(1 + i);
    }
    doc.ApplyPackets();
    EXPECT_EQ(levels.m_levels, (std::vector<std::array<float, 2>> { { 0.0f, 0.0f } }));

    levels.m_events.clear();
    for (int i = 0; i < CVelmoraDoc::kMaxReplayPackets; ++i) {
        FillBuffer(1 + i, static_cast<std::int16_t>(1000 + i), 0);
        Deliver(1 + i);
    }
    doc.ApplyPackets();
    EXPECT_EQ(levels.m_events.size(), 3u * CVelmoraDoc::kMaxReplayPackets);
    EXPECT_EQ(levels.m_events[0], "value 0 1000");
}

// The capture side delivers one block (carrying the meter tick) per gap while
// the UI thread runs its event loop. A steady stream faster than the apply
// period is applied at display rate; then gaps around the period make the UI
// thread go idle at every moment relative to a packet's arrival, and a packet
// missed by the idle handshake would never be applied.
TEST(PacedApply, PacketsAreAppliedAtDisplayRateAndOneArrivingAsTheUiGoesIdleStillWakesIt)
{
    CHandFedHub hub;
    std::vector<int> gapsUs(150, 2000);
    for (int i = 0; i < 80; ++i)
        gapsUs.push_back(15000 + (i % 8) * 500 + (i % 3) * 7000);
    const auto ticks = [&] { return std::count(hub.ppm.m_events.begin(), hub.ppm.m_events.end(), "tick"); };
    QElapsedTimer clock;
    clock.start();
    std::thread capture([&] {
        for (const int gap : gapsUs) {
            std::this_thread::sleep_for(std::chrono::microseconds(gap));
            hub.Deliver(1);
        }
    });
    while (ticks() < static_cast<long>(gapsUs.size()) && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    capture.join();
    EXPECT_EQ(ticks(), static_cast<long>(gapsUs.size()));
    // Paced applies lie at least a period apart; only a UI thread that went idle is woken.
    EXPECT_LE(hub.doc.PacedApplies(), static_cast<std::uint64_t>(clock.elapsed() / CVelmoraDoc::kApplyPeriodMs + 1));
    EXPECT_GE(hub.doc.UiWakes(), 2u);
    EXPECT_LE(hub.doc.UiWakes(), hub.doc.PacedApplies());
    EXPECT_EQ(hub.doc.DroppedPackets(), 0u);
}

} // namespace
