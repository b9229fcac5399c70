#include "tests/audio/HandFedHub.h"
#include "tests/common/CaptureHubFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
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

// Modes 0, 1, 2 plot every first, second or fourth frame; a step outside
// them skips the scan, so nothing is plotted and the PPM reads zero.
TEST_F(SampleHubTest, SampleStepPlotsEveryFirstSecondOrFourthFrameInOrder)
{
    ppm.SetOn(1);
    stereo.SetOn(1);
    for (int f = 0; f < kFrames; ++f)
        Buffer(5)[2 * f] = static_cast<std::int16_t>(f), Buffer(5)[2 * f + 1] = static_cast<std::int16_t>(-f);
    for (const int mode : { 0, 1, 2, 3, -1 }) {
        SCOPED_TRACE(mode);
        const int step = mode >= 0 && mode <= 2 ? 1 << mode : 0;
        stereo.m_points.clear();
        ppm.m_events.clear();
        stereo.m_decimation = mode;
        Deliver(5);
        doc.ApplyPackets();
        ASSERT_EQ(static_cast<int>(stereo.m_points.size()), step ? kFrames / step : 0);
        for (int i = 0; i < static_cast<int>(stereo.m_points.size()); ++i)
            ASSERT_EQ(stereo.m_points[static_cast<std::size_t>(i)], (std::array<int, 2> { i * step, -i * step }));
        EXPECT_EQ(ppm.m_events[0], step ? "value 0 511" : "value 0 0");
    }
}

// Windows are formed every second block; their correlation is shown only
// while the meter is on, the analyzer's bars when the feed hands them over.
TEST_F(SampleHubTest, EverySecondBlockFeedsTheCorrelationAndTheAnalyzer)
{
    fft.SetOn(1);
    for (int i = 1; i <= 4; ++i)
        Deliver(i);
    doc.ApplyPackets();
    EXPECT_EQ(estimator.m_nWindows, 2);
    EXPECT_TRUE(cor.m_shown.empty());
    ASSERT_EQ(fft.m_values.size(), static_cast<size_t>(kBandCount));
    for (int i = 0; i < kBandCount; ++i)
        EXPECT_EQ(fft.m_values[static_cast<std::size_t>(i)], (std::array<int, 2> { i + 2, i }));
    cor.SetOn(1);
    Deliver(5);
    Deliver(6);
    doc.ApplyPackets();
    EXPECT_EQ(cor.m_shown, (std::vector<std::array<double, 2>> { { 0.25, 0.5 } }));
}

TEST_F(SampleHubTest, AFullRingDropsAndCountsPacketsUntilTheCountIsReset)
{
    CRecordingHost host;
    doc.SetHost(&host);
    ppm.SetOn(1);
    for (int i = 0; i < CVelmoraDoc::kPacketRingSize + 10; ++i)
        Deliver(1 + i % 30);
    EXPECT_EQ(std::make_pair(doc.DroppedPackets(), doc.Dropouts()), (std::make_pair<std::uint64_t, std::uint64_t>(10, 10)));
    doc.ApplyPackets();
    EXPECT_EQ(Ticks(), CVelmoraDoc::kPacketRingSize); // one tick per block kept
    doc.PollDropouts();
    doc.ResetDropouts();
    EXPECT_EQ(host.m_dropouts, (std::vector<std::uint64_t> { 10, 0 }));
    EXPECT_EQ(doc.Dropouts(), 0u);
}

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
    doc.SetPpm(&ppm);
}

} // namespace
