// The worker message queue: many posting threads, one owner.
#include "platform/ThreadMessageQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(ThreadMessageQueue, PostsFromSeveralThreadsArriveCompleteAndInEachThreadsOrder)
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 20000;
    CThreadMessageQueue queue(kThreads * kPerThread);
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&queue, t] {
            for (int i = 0; i < kPerThread; ++i)
                ASSERT_TRUE(queue.Post(0x400u + static_cast<unsigned>(t), static_cast<std::uintptr_t>(i)));
        });
    }
    std::vector<int> next(kThreads, 0);
    for (int n = 0; n < kThreads * kPerThread; ++n) {
        CThreadMessage msg;
        ASSERT_TRUE(queue.GetFor(msg, std::chrono::seconds(10)));
        const int t = static_cast<int>(msg.message - 0x400u);
        ASSERT_GE(t, 0);
        ASSERT_LT(t, kThreads);
        ASSERT_EQ(static_cast<int>(msg.wParam), next[static_cast<std::size_t>(t)]);
        ++next[static_cast<std::size_t>(t)];
    }
    for (auto& p : producers)
        p.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(next[static_cast<std::size_t>(t)], kPerThread);
    CThreadMessage extra;
    EXPECT_FALSE(queue.Peek(extra));
    EXPECT_EQ(queue.Refused(), 0u);
}

TEST(ThreadMessageQueue, AFullQueueRefusesAndCountsInsteadOfWaiting)
{
    CThreadMessageQueue queue(16);
    int accepted = 0;
    for (int i = 0; i < 20; ++i)
        accepted += queue.Post(1, static_cast<std::uintptr_t>(i)) ? 1 : 0;
    EXPECT_EQ(accepted, 16);
    EXPECT_EQ(queue.Refused(), 4u);
    // The sixteen that fitted come out first-in first-out.
    for (int i = 0; i < 16; ++i) {
        CThreadMessage msg;
        ASSERT_TRUE(queue.Peek(msg));
        EXPECT_EQ(msg.wParam, static_cast<std::uintptr_t>(i));
    }
    // Empty: a wait times out; room again for a post.
    CThreadMessage msg;
    EXPECT_FALSE(queue.GetFor(msg, std::chrono::milliseconds(20)));
    EXPECT_TRUE(queue.Post(7, 1, -3));
    ASSERT_TRUE(queue.GetFor(msg, std::chrono::milliseconds(20)));
    EXPECT_EQ(msg.message, 7u);
    EXPECT_EQ(msg.lParam, -3);
}

} // namespace
