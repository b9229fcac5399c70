#pragma once
// The message queue of a worker thread: device notices and control messages.
// Post() may be called from any thread, including a real-time audio callback:
// it takes no lock, allocates nothing and never waits (a full queue refuses
// the message and counts it); it makes a system call only to wake an owner
// that sleeps. Get()/GetFor()/Peek() belong to the owning thread only; the
// owner sleeps in the kernel while nothing is waiting, and never spins.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

struct CThreadMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class CThreadMessageQueue {
public:
    static constexpr std::uint32_t WM_QUIT = 0x0012;

    explicit CThreadMessageQueue(std::size_t capacity = 1024);
    CThreadMessageQueue(const CThreadMessageQueue&) = delete;
    CThreadMessageQueue& operator=(const CThreadMessageQueue&) = delete;

    // Any thread. False when the queue is full (the message is lost and counted).
    bool Post(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Owner thread: waits for the next message.
    void Get(CThreadMessage& out);
    // Owner thread: waits at most `timeout`; false when nothing came.
    bool GetFor(CThreadMessage& out, std::chrono::milliseconds timeout);
    // Owner thread: takes a waiting message without waiting for a new one.
    bool Peek(CThreadMessage& out);

    std::uint64_t Refused() const { return m_nRefused.load(std::memory_order_relaxed); }
    // Any thread, for tests: times the owner went to sleep, times a poster
    // woke it, and whether it sleeps now.
    std::uint64_t Sleeps() const { return m_nSleeps.load(std::memory_order_relaxed); }
    std::uint64_t Wakes() const { return m_nWakes.load(std::memory_order_relaxed); }
    bool IsOwnerAsleep() const { return m_nAsleep.load(std::memory_order_relaxed) != 0; }

private:
    using Clock = std::chrono::steady_clock;

    bool TryPop(CThreadMessage& out);
    // Owner: sleeps until the head message is published (true, taken into
    // `out`) or the deadline passes (false).
    bool PopOrSleep(CThreadMessage& out, std::optional<Clock::time_point> deadline);
    void WakeOwnerIfAsleep();

    // A bounded multi-producer queue (sequence-numbered cells): a producer
    // claims a cell by CAS on the enqueue position, writes it and publishes it
    // with a release store of the cell's sequence; the consumer's acquire load
    // of that sequence makes the message visible before it is read.
    struct Cell {
        std::atomic<std::size_t> sequence;
        CThreadMessage message;
    };
    const std::size_t m_nMask;
    std::unique_ptr<Cell[]> m_cells;
    alignas(64) std::atomic<std::size_t> m_nEnqueue { 0 };
    alignas(64) std::size_t m_nDequeue = 0; // consumer only
    // Messages taken, consumer only; compared with m_nPublished by Peek.
    std::uint32_t m_nTaken = 0;
    // Counts publications; the owner sleeps on this word (a futex), so a
    // publication between its last look and its sleep is never missed.
    alignas(64) std::atomic<std::uint32_t> m_nPublished { 0 };
    // Set by the owner just before it sleeps: only then does a poster pay
    // for a wake-up.
    std::atomic<std::uint32_t> m_nAsleep { 0 };
    std::atomic<std::uint64_t> m_nRefused { 0 };
    std::atomic<std::uint64_t> m_nSleeps { 0 };
    std::atomic<std::uint64_t> m_nWakes { 0 };
};
