#include "audio/LoudnessThread.h"

#include <cerrno>
#include <cstring>
#include <ctime>

CLoudnessThread::CLoudnessThread(ILoudnessFeed& feed) : m_feed(feed), m_ring(kRingBlocks)
{
    sem_init(&m_wake, 0, 0);
    m_thread = std::thread([this] { Run(); });
}

CLoudnessThread::~CLoudnessThread()
{
    m_bStop.store(true, std::memory_order_seq_cst);
    sem_post(&m_wake);
    m_thread.join();
    sem_destroy(&m_wake);
}

// ---- capture thread -------------------------------------------------------

void CLoudnessThread::NoteOpened(unsigned long rate)
{
    ++m_nOpenCount;
    m_nRate = static_cast<std::uint32_t>(rate);
    // If the ring is full the notice is dropped; the next block handed over
    // carries the open with it.
    Push(nullptr, 0);
}

bool CLoudnessThread::HandOver(const std::int16_t* block) { return Push(block, kFramesPerBlock); }

bool CLoudnessThread::Push(const std::int16_t* block, std::uint32_t frames)
{
    // The generation is the block's even when it is dropped, so no older
    // reading is taken once a reset was seen.
    m_nGeneration = m_feed.Generation();
    Block* slot = m_ring.BeginWrite();
    if (!slot)
        return false;
    if (block)
        std::memcpy(slot->samples, block, sizeof(slot->samples));
    slot->frames = frames;
    slot->rate = m_nRate;
    slot->openCount = m_nOpenCount;
    slot->generation = m_nGeneration;
    m_ring.EndWrite();
    Announce();
    return true;
}

void CLoudnessThread::Announce()
{
    const std::uint64_t handed = m_nHanded.fetch_add(1, std::memory_order_seq_cst) + 1;
    if (m_bParked.load(std::memory_order_seq_cst) && m_bParked.exchange(false, std::memory_order_seq_cst)) {
        sem_post(&m_wake);
        return;
    }
    if (handed - m_nConsumed.load(std::memory_order_relaxed) >= kUrgeBlocks && !m_bUrged.exchange(true, std::memory_order_relaxed))
        sem_post(&m_wake);
}

bool CLoudnessThread::TakeReading(CLoudnessSnapshot& out)
{
    Published published;
    std::uint64_t seq = 0;
    // A read that overlaps the loudness thread's write fails; the next
    // block tries again.
    if (!m_published.Read(published, seq) || seq == m_nTakenSeq)
        return false;
    if (published.openCount != m_nOpenCount || published.reading.generation != m_nGeneration)
        return false;
    m_nTakenSeq = seq;
    out = published.reading;
    return true;
}

// ---- UI thread ------------------------------------------------------------

bool CLoudnessThread::WaitUntilMeasured(std::chrono::milliseconds timeout)
{
    const std::uint64_t target = m_nHanded.load(std::memory_order_seq_cst);
    // Counted before the check below: the loudness thread either sees a
    // waiter after its drain or the check sees the drain's count.
    m_nWaiters.fetch_add(1, std::memory_order_seq_cst);
    // Not to wait out the cadence, or a parked thread.
    sem_post(&m_wake);
    std::unique_lock lock(m_waitMutex);
    const bool done = m_caughtUp.wait_for(lock, timeout, [&] { return m_nConsumed.load(std::memory_order_seq_cst) >= target; });
    m_nWaiters.fetch_sub(1, std::memory_order_relaxed);
    return done;
}

// ---- loudness thread ------------------------------------------------------

void CLoudnessThread::Run()
{
    int idleDrains = 0;
    while (!m_bStop.load(std::memory_order_acquire)) {
        idleDrains = Drain() ? 0 : idleDrains + 1;
        if (idleDrains >= kIdleDrainsBeforePark)
            Park();
        else
            WaitForCadence();
        m_bUrged.store(false, std::memory_order_relaxed);
    }
}

bool CLoudnessThread::Drain()
{
    bool any = false;
    while (const Block* block = m_ring.BeginRead()) {
        // Teardown does not wait for a backlog.
        if (m_bStop.load(std::memory_order_relaxed))
            break;
        Consume(*block);
        m_ring.EndRead();
        m_nConsumed.fetch_add(1, std::memory_order_seq_cst);
        any = true;
    }
    if (any && m_nWaiters.load(std::memory_order_seq_cst) > 0) {
        // Taking the mutex orders this notice after a waiter's check.
        { std::lock_guard lock(m_waitMutex); }
        m_caughtUp.notify_all();
    }
    return any;
}

void CLoudnessThread::Consume(const Block& block)
{
    if (block.openCount != m_nOpenCountMeasured) {
        m_nOpenCountMeasured = block.openCount;
        m_feed.Open(block.rate, block.generation);
    }
    if (block.frames == 0)
        return;
    Published published;
    if (!m_feed.Measure(block.samples, block.frames, block.generation, published.reading))
        return;
    published.openCount = block.openCount;
    m_published.Write(published);
}

void CLoudnessThread::Park()
{
    m_bParked.store(true, std::memory_order_seq_cst);
    if (m_nHanded.load(std::memory_order_seq_cst) == m_nConsumed.load(std::memory_order_relaxed) && !m_bStop.load(std::memory_order_seq_cst)) {
        while (sem_wait(&m_wake) != 0 && errno == EINTR) {
        }
    }
    m_bParked.store(false, std::memory_order_seq_cst);
}

void CLoudnessThread::WaitForCadence()
{
    timespec until {};
    clock_gettime(CLOCK_MONOTONIC, &until);
    constexpr long kNanosPerSecond = 1000000000L;
    until.tv_nsec += static_cast<long>(std::chrono::nanoseconds(kDrainPeriod).count());
    if (until.tv_nsec >= kNanosPerSecond) {
        until.tv_nsec -= kNanosPerSecond;
        ++until.tv_sec;
    }
    while (sem_clockwait(&m_wake, CLOCK_MONOTONIC, &until) != 0 && errno == EINTR) {
    }
}
