// The UI thread's side of the packet hand-off with a running event loop.
#include "tests/audio/HandFedHub.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

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
