// The worker message queue: many posting threads, one owner that sleeps while
// nothing waits; a poster pays for a wake-up only when the owner sleeps.
#include "platform/SpscRing.h"
#include "platform/ThreadMessageQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

// A queue big enough for every message, and a small one that wraps thousands
// of times, with pauses that let the owner fall asleep between bursts.
TEST(ThreadMessageQueue, PostsFromSeveralThreadsArriveOnceAndInEachThreadsOrder)
{
    constexpr int kPerPoster = 20000;
    const struct {
        std::size_t posters;
        std::size_t capacity;
        bool pauses;
    } cases[] = { { 4, 4 * kPerPoster, false }, { 2, 8, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        CThreadMessageQueue queue(c.capacity);
        std::vector<std::thread> posters;
        for (std::uint32_t t = 0; t < c.posters; ++t) {
            posters.emplace_back([&queue, &c, t] {
                for (int i = 0; i < kPerPoster; ++i) {
                    while (!queue.Post(t, static_cast<std::uintptr_t>(i)))
                        std::this_thread::yield(); // full: the owner is behind
                    if (c.pauses && i % 2000 == 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            });
        }
        std::vector<std::uintptr_t> next(c.posters, 0);
        for (std::size_t n = 0; n < c.posters * kPerPoster; ++n) {
            CThreadMessage msg;
            ASSERT_TRUE(queue.GetFor(msg, std::chrono::seconds(10))) << "after " << n;
            ASSERT_LT(msg.message, c.posters);
            ASSERT_EQ(msg.wParam, next[msg.message]++);
        }
        for (auto& p : posters)
            p.join();
        CThreadMessage extra;
        EXPECT_FALSE(queue.Peek(extra));
        EXPECT_TRUE(c.pauses ? queue.Sleeps() >= 1 : queue.Refused() == 0);
    }
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
    CThreadMessage msg;
    for (int i = 0; i < 16; ++i) {
        ASSERT_TRUE(queue.Peek(msg));
        EXPECT_EQ(msg.wParam, static_cast<std::uintptr_t>(i));
    }
    // Posts to an owner that never slept cost no wake-up.
    EXPECT_EQ(queue.Wakes() + queue.Sleeps(), 0u);
    // Empty: a wait times out; room again for a post.
    EXPECT_FALSE(queue.GetFor(msg, std::chrono::milliseconds(20)));
    EXPECT_TRUE(queue.Post(7, 1, -3));
    ASSERT_TRUE(queue.GetFor(msg, std::chrono::milliseconds(20)));
    EXPECT_EQ(msg.message, 7u);
    EXPECT_EQ(msg.lParam, -3);
}

// The single-producer single-consumer packet ring.
TEST(SpscRing, ItemsCrossThreadsInOrderAndDropsAreAccountedFor)
{
    constexpr int kItems = 200000;
    CSpscRing<int> ring(64);
    std::thread producer([&] {
        for (int i = 0; i < kItems; ++i) {
            if (int* slot = ring.BeginWrite()) {
                *slot = i;
                ring.EndWrite();
            }
        }
    });
    int received = 0;
    int last = -1;
    bool done = false;
    while (!done) {
        done = received + static_cast<int>(ring.Dropped()) == kItems;
        while (const int* item = ring.BeginRead()) {
            ASSERT_GT(*item, last); // never out of order, never repeated
            last = *item;
            ++received;
            ring.EndRead();
        }
    }
    producer.join();
    EXPECT_EQ(received + static_cast<int>(ring.Dropped()), kItems);
    EXPECT_GT(received, 0);
}

} // namespace
