// Counts heap allocations made while the hub processes blocks on the
// capture side: there must be none, whatever the instruments do.
#include "meters/loudness/LoudnessFeed.h"
#include "meters/ppm/PpmCaptureBallistics.h"
#include "tests/audio/HandFedHub.h"

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

namespace {
// A PPM that runs the real per-sample ballistics on the capture side.
class CBallisticPpm : public CFakePpm {
public:
    bool MeasureForCapture(const std::int16_t* block, int frames, int rate, float* levels, int& mode) override
    {
        return m_ballistics.Measure(block, frames, rate, levels, mode);
    }
    void SetLevels(const float*, double seconds, int) override { ++m_nLevels, m_dSeconds = seconds; }
    CPpmCaptureBallistics m_ballistics;
    int m_nLevels = 0;
    double m_dSeconds = 0;
};
}

TEST(CapturePath, ProcessingBlocksAllocatesNothing)
{
    // The block peak, the costliest mode (true peak) and a quasi-peak mode.
    for (EPpmBallistics mode : { EPpmBallistics::DigitalPeak, EPpmBallistics::TruePeak, EPpmBallistics::IecTypeIIEbu }) {
        SCOPED_TRACE(CPpmBallistics::MenuText(mode));
        CHandFedHub hub;
        CBallisticPpm ppm;
        ppm.m_ballistics.SetMode(mode);
        hub.doc.SetPpm(&ppm);
        ppm.SetOn(1), hub.stereo.SetOn(1), hub.cor.SetOn(1);
        // The loudness measurement is made when the device opens (allocating,
        // as opening does); from then on blocks must cost nothing.
        CLoudnessFeed loudness;
        hub.doc.SetLoudnessFeed(&loudness);
        loudness.SetOn(true);
        hub.doc.OnInputOpened();
        ASSERT_TRUE(hub.doc.WaitForLoudness());
        for (std::size_t i = 0; i < hub.area.size(); ++i)
            hub.area[i] = static_cast<std::int16_t>((i * 7919) & 0xFFFF);

        g_allocations = 0;
        g_counting = true;
        // More blocks than the packet ring holds, so dropping is covered too.
        for (int block = 0; block < 400; ++block)
            hub.Deliver(block % 32);
        EXPECT_TRUE(hub.doc.WaitForLoudness());
        g_counting = false;
        EXPECT_EQ(g_allocations.load(), 0);
        EXPECT_EQ(hub.doc.DroppedPackets(), 400u - CVelmoraDoc::kPacketRingSize);

        // The loudness meter did measure: 400 blocks hold many 100 ms hops.
        CLoudnessSnapshot reading;
        ASSERT_TRUE(loudness.ProcessBlock(hub.area.data(), 512, reading));
        EXPECT_TRUE(reading.Has(CLoudnessSnapshot::kMomentary));

        hub.doc.ApplyPackets();
        // The full ring is a backlog, shown as one step covering every waiting block.
        EXPECT_EQ(ppm.m_nLevels, mode == EPpmBallistics::DigitalPeak ? 0 : 1);
        if (mode != EPpmBallistics::DigitalPeak) {
            EXPECT_NEAR(ppm.m_dSeconds, CVelmoraDoc::kPacketRingSize * 512.0 / hub.capture.Device().SampleRate(), 1e-4);
        }
    }
}
