#pragma once
// The loudness measurement's own thread, so that its filters and true-peak
// oversampling stay off the capture thread's budget.
//
// The capture thread hands each block over through a preallocated
// single-producer single-consumer ring (a copy of the block, stamped with
// the device open and the generation it belongs to) and takes the newest
// reading back, at most once per block, to put into the block's packet.
// The loudness thread drains the ring on its own short cadence and parks
// when nothing has come for a while; the capture thread makes a system
// call only to wake a parked thread, or one that let the ring fill a
// quarter, never per block in steady flow. The newest reading is published
// through a sequence lock; the capture thread passes on only a reading of
// the open and generation of the blocks it hands over now, so nothing
// measured before a reset or a device change reaches the display after it.
//
// A full ring (the loudness thread starved for seconds) drops the block and
// counts it; nothing waits. The user sees the loudness readings stand still
// while the thread is starved, and afterwards momentary and short-term
// windows and the integration that skip the dropped audio; the drops are
// added to the dropouts shown in the main window's title.
//
// Threads: construction, destruction, WaitUntilMeasured on the UI (or test)
// thread; NoteOpened, HandOver and TakeReading on the capture thread only
// (the thread that feeds the hub); Dropped on any thread. The feed is used
// by the loudness thread only, from the first block handed over until
// destruction, which stops and joins the thread without draining it.
#include "audio/MeterSinks.h"
#include "meters/loudness/LoudnessSnapshot.h"
#include "platform/SeqLock.h"
#include "platform/SpscRing.h"

#include <semaphore.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

class CLoudnessThread {
public:
    static constexpr std::size_t kFramesPerBlock = 512;
    // About 5.5 s of audio at 48 kHz (1 MiB).
    static constexpr std::size_t kRingBlocks = 512;
    // A ring this full wakes the loudness thread before its cadence does.
    static constexpr std::size_t kUrgeBlocks = kRingBlocks / 4;
    // The drain cadence while blocks flow: about one block at 48 kHz, well
    // below the display's frame time.
    static constexpr std::chrono::milliseconds kDrainPeriod { 10 };
    // Empty drains in a row after which the thread parks.
    static constexpr int kIdleDrainsBeforePark = 10;

    explicit CLoudnessThread(ILoudnessFeed& feed);
    ~CLoudnessThread();
    CLoudnessThread(const CLoudnessThread&) = delete;
    CLoudnessThread& operator=(const CLoudnessThread&) = delete;

    // Capture thread: the device opened at `rate`; the blocks from now on
    // belong to a fresh measurement.
    void NoteOpened(unsigned long rate);
    // Capture thread: hands one block of kFramesPerBlock interleaved stereo
    // frames over to be measured; false when the ring was full (dropped).
    bool HandOver(const std::int16_t* block);
    // Capture thread: the newest reading of the blocks handed over since
    // the last device open and fresh start, when there is one not taken yet.
    bool TakeReading(CLoudnessSnapshot& out);

    // Blocks dropped because the ring was full.
    std::uint64_t Dropped() const { return m_ring.Dropped(); }
    // UI thread: waits until every block handed over so far has been
    // measured; false when `timeout` passed first.
    bool WaitUntilMeasured(std::chrono::milliseconds timeout);

private:
    struct Block {
        std::int16_t samples[2 * kFramesPerBlock];
        // 0 for a bare open notice.
        std::uint32_t frames;
        std::uint32_t rate;
        std::uint32_t openCount;
        std::uint32_t generation;
    };
    struct Published {
        CLoudnessSnapshot reading;
        std::uint32_t openCount;
    };

    bool Push(const std::int16_t* block, std::uint32_t frames);
    void Announce();
    void Run();
    bool Drain();
    void Consume(const Block& block);
    void Park();
    void WaitForCadence();

    ILoudnessFeed& m_feed;
    CSpscRing<Block> m_ring;
    CSeqLock<Published> m_published;

    // Capture thread only: what the blocks handed over now belong to.
    std::uint32_t m_nOpenCount = 0;
    std::uint32_t m_nRate = 0;
    std::uint32_t m_nGeneration = 0;
    std::uint64_t m_nTakenSeq = 0;

    // Loudness thread only.
    std::uint32_t m_nOpenCountMeasured = 0;

    // Entries pushed (capture thread) and consumed (loudness thread). Both
    // are seq_cst: with m_bParked they make the park hand-shake, where
    // either the capture thread sees the thread parked or the thread sees
    // the entry.
    std::atomic<std::uint64_t> m_nHanded { 0 };
    std::atomic<std::uint64_t> m_nConsumed { 0 };
    std::atomic<bool> m_bParked { false };
    // Set by the capture thread when it urged a wake for a filling ring;
    // cleared by the loudness thread when it wakes. Relaxed: it only limits
    // the posts to one per wake.
    std::atomic<bool> m_bUrged { false };
    std::atomic<bool> m_bStop { false };
    // Counted wakes: posting never blocks, and a post before the wait is not lost.
    sem_t m_wake;

    // WaitUntilMeasured's waiters, told by the loudness thread after a drain.
    std::atomic<int> m_nWaiters { 0 };
    std::mutex m_waitMutex;
    std::condition_variable m_caughtUp;

    std::thread m_thread;
};
