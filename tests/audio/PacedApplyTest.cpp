// The UI thread's side of the packet hand-off with a running event loop: a
// stream of packets is applied at display rate, not per packet, and a
// packet that comes just as the UI thread goes idle still wakes it.
#include "tests/audio/HandFedHub.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

class PacedApplyTest : public ::testing::Test, public CHandFedHub {
protected:
    int Ticks() const { return static_cast<int>(std::count(ppm.m_events.begin(), ppm.m_events.end(), "tick")); }

    // The capture side delivers one block per gap (each block carries the
    // meter tick), while the UI thread runs its event loop until every tick
    // arrived or 10 s passed. Returns the milliseconds the loop ran.
    qint64 Stream(const std::vector<int>& gapsUs)
    {
        QElapsedTimer clock;
        clock.start();
        std::thread capture([&] {
            for (const int gap : gapsUs) {
                std::this_thread::sleep_for(std::chrono::microseconds(gap));
                Deliver(1);
            }
        });
        const int expected = static_cast<int>(gapsUs.size());
        while (Ticks() < expected && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        capture.join();
        return clock.elapsed();
    }
};

TEST_F(PacedApplyTest, ASteadyStreamIsAppliedAtDisplayRateWithFewWakeUps)
{
    constexpr int kBlocks = 150;
    const qint64 ms = Stream(std::vector<int>(kBlocks, 2000));
    ASSERT_EQ(Ticks(), kBlocks);
    // Paced applies lie at least a period apart, whatever the stream's rate.
    EXPECT_LE(doc.PacedApplies(), static_cast<std::uint64_t>(ms / CVelmoraDoc::kApplyPeriodMs + 1));
    EXPECT_GE(doc.PacedApplies(), 1u);
    // Only a UI thread that went idle is woken; a stream faster than the
    // period keeps it busy.
    EXPECT_GE(doc.UiWakes(), 1u);
    EXPECT_LE(doc.UiWakes(), doc.PacedApplies());
    EXPECT_EQ(doc.DroppedPackets(), 0u);
}

// Gaps around the apply period make the UI thread go idle at every moment
// relative to a packet's arrival; a packet missed by the idle handshake
// would never be applied.
TEST_F(PacedApplyTest, APacketArrivingAsTheUiGoesIdleStillWakesIt)
{
    std::vector<int> gaps;
    for (int i = 0; i < 80; ++i)
        gaps.push_back(15000 + (i % 8) * 500 + (i % 3) * 7000);
    Stream(gaps);
    EXPECT_EQ(Ticks(), static_cast<int>(gaps.size()));
    EXPECT_GE(doc.UiWakes(), 2u);
}

} // namespace
