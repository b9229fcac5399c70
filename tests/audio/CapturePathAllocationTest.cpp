// Counts heap allocations made while the hub processes blocks on the
// capture side: there must be none, whatever the instruments do.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/loudness/LoudnessFeed.h"
#include "tests/audio/FakeSinks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<bool> g_counting { false };
std::atomic<long> g_allocations { 0 };

void* CountedAlloc(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
}

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(CapturePath, ProcessingBlocksAllocatesNothing)
{
    CAudioCapture capture;
    CVelmoraDoc doc(capture);
    CFakePpm ppm;
    CFakeStereo stereo;
    CFakeCor cor;
    CFakeEstimator estimator;
    CFakeFeed feed;
    doc.SetPpm(&ppm);
    doc.SetStereo(&stereo);
    doc.SetCor(&cor);
    doc.SetCorrelationEstimator(&estimator);
    doc.SetAnalyzerFeed(&feed);
    ppm.SetOn(1);
    stereo.SetOn(1);
    cor.SetOn(1);
    // The loudness measurement is made when the device opens (allocating,
    // as opening does); from then on blocks must cost nothing.
    CLoudnessFeed loudness;
    doc.SetLoudnessFeed(&loudness);
    loudness.SetOn(true);
    doc.OnInputOpened();

    std::vector<std::int16_t> area(32 * 1024);
    for (std::size_t i = 0; i < area.size(); ++i)
        area[i] = static_cast<std::int16_t>((i * 7919) & 0xFFFF);
    const auto* base = reinterpret_cast<const std::uint8_t*>(area.data());

    g_allocations = 0;
    g_counting = true;
    // More blocks than the packet ring holds, so dropping is covered too.
    for (int block = 0; block < 400; ++block)
        doc.ProcessBlock(base + (block % 32) * 2048, base);
    g_counting = false;
    EXPECT_EQ(g_allocations.load(), 0);
    EXPECT_GT(doc.DroppedPackets(), 0u);
    // The loudness meter did measure: 400 blocks hold many 100 ms hops.
    CLoudnessSnapshot reading;
    ASSERT_TRUE(loudness.ProcessBlock(reinterpret_cast<const std::int16_t*>(base), 512, reading));
    EXPECT_TRUE(reading.Has(CLoudnessSnapshot::kMomentary));
}
