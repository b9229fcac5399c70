// The worker message queue's sleeping and waking: the owner sleeps while
// nothing waits, and a poster pays for a wake-up only when the owner sleeps.
#include "platform/ThreadMessageQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

// Waits (yielding, at most 10 s) until the owner thread has gone to sleep.
bool OwnerFallsAsleep(const CThreadMessageQueue& queue)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!queue.IsOwnerAsleep()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(ThreadMessageQueueWake, PostsToAnAwakeOwnerCostNoWakeUp)
{
    CThreadMessageQueue queue(16);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(queue.Post(1, static_cast<std::uintptr_t>(i)));
    CThreadMessage msg;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(queue.Peek(msg));
    EXPECT_FALSE(queue.Peek(msg));
    EXPECT_EQ(queue.Wakes(), 0u);
    EXPECT_EQ(queue.Sleeps(), 0u);
}

TEST(ThreadMessageQueueWake, AnIdleOwnerSleepsUntilOnePostWakesIt)
{
    CThreadMessageQueue queue(16);
    CThreadMessage got;
    std::thread owner([&] { queue.Get(got); });
    ASSERT_TRUE(OwnerFallsAsleep(queue));
    EXPECT_EQ(queue.Wakes(), 0u);
    ASSERT_TRUE(queue.Post(0x400, 7, -1));
    owner.join();
    EXPECT_EQ(got.message, 0x400u);
    EXPECT_EQ(got.wParam, 7u);
    EXPECT_EQ(queue.Wakes(), 1u);
    EXPECT_GE(queue.Sleeps(), 1u);
    EXPECT_FALSE(queue.IsOwnerAsleep());
}

// Two posters (an audio callback and the UI thread) against a small queue
// that wraps thousands of times, with pauses that let the owner fall asleep
// between bursts: every message arrives once, in each poster's order.
TEST(ThreadMessageQueueWake, TwoPostersAndASleepingOwnerLoseNothing)
{
    constexpr int kPerPoster = 20000;
    CThreadMessageQueue queue(8);
    auto poster = [&queue](std::uint32_t id) {
        for (int i = 0; i < kPerPoster; ++i) {
            while (!queue.Post(id, static_cast<std::uintptr_t>(i)))
                std::this_thread::yield(); // full: the owner is behind
            if (i % 2000 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    std::thread first(poster, 1u);
    std::thread second(poster, 2u);
    int next[3] = { 0, 0, 0 };
    for (int n = 0; n < 2 * kPerPoster; ++n) {
        CThreadMessage msg;
        ASSERT_TRUE(queue.GetFor(msg, std::chrono::seconds(10))) << "after " << n;
        ASSERT_TRUE(msg.message == 1u || msg.message == 2u);
        ASSERT_EQ(msg.wParam, static_cast<std::uintptr_t>(next[msg.message]));
        ++next[msg.message];
    }
    first.join();
    second.join();
    EXPECT_EQ(next[1], kPerPoster);
    EXPECT_EQ(next[2], kPerPoster);
    CThreadMessage extra;
    EXPECT_FALSE(queue.Peek(extra));
    EXPECT_GE(queue.Sleeps(), 1u);
}

} // namespace
