// The single-producer single-consumer packet ring.
#include "platform/SpscRing.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

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
