#pragma once
// The message queue of a worker thread: device notices and control messages.
// Post() may be called from any thread, including a real-time audio callback:
// it takes no lock, allocates nothing and never waits (a full queue refuses
// the message and counts it). Get()/Peek() belong to the owning thread only.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <semaphore>

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
    // Owner thread: takes a waiting message without waiting.
    bool Peek(CThreadMessage& out);

    std::uint64_t Refused() const { return m_nRefused.load(std::memory_order_relaxed); }

private:
    bool TryPop(CThreadMessage& out);
    void PopPublished(CThreadMessage& out);

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
    std::counting_semaphore<> m_available { 0 };
    std::atomic<std::uint64_t> m_nRefused { 0 };
};
