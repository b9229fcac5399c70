#include "platform/ThreadMessageQueue.h"

#include <bit>

CThreadMessageQueue::CThreadMessageQueue(std::size_t capacity)
    : m_nMask(std::bit_ceil(capacity < 2 ? std::size_t { 2 } : capacity) - 1)
    , m_cells(new Cell[m_nMask + 1])
{
    for (std::size_t i = 0; i <= m_nMask; ++i)
        m_cells[i].sequence.store(i, std::memory_order_relaxed);
}

bool CThreadMessageQueue::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::size_t pos = m_nEnqueue.load(std::memory_order_relaxed);
    for (;;) {
        Cell& cell = m_cells[pos & m_nMask];
        // Acquire: the consumer's release of this cell (it finished reading it).
        const std::size_t seq = cell.sequence.load(std::memory_order_acquire);
        const auto diff = static_cast<std::intptr_t>(seq) - static_cast<std::intptr_t>(pos);
        if (diff == 0) {
            if (m_nEnqueue.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                cell.message = CThreadMessage { message, wParam, lParam };
                // Release: publishes the message to the consumer.
                cell.sequence.store(pos + 1, std::memory_order_release);
                // Wakes a consumer parked on this very cell (rare; without a
                // waiter this costs no system call).
                cell.sequence.notify_one();
                m_available.release();
                return true;
            }
        } else if (diff < 0) {
            m_nRefused.fetch_add(1, std::memory_order_relaxed);
            return false;
        } else {
            pos = m_nEnqueue.load(std::memory_order_relaxed);
        }
    }
}

bool CThreadMessageQueue::TryPop(CThreadMessage& out)
{
    Cell& cell = m_cells[m_nDequeue & m_nMask];
    // Acquire: pairs with the producer's release store of the sequence.
    const std::size_t seq = cell.sequence.load(std::memory_order_acquire);
    if (seq != m_nDequeue + 1)
        return false;
    out = cell.message;
    // Release: hands the cell back to the producers one lap later.
    cell.sequence.store(m_nDequeue + m_nMask + 1, std::memory_order_release);
    ++m_nDequeue;
    return true;
}

// Each token of the semaphore stands for one published message. Messages are
// taken in claim order, so the cell at the head may still be between its
// producer's claim and its publication while a later one is ready: the
// consumer then sleeps on that cell's sequence until its producer publishes
// it, instead of spinning.
void CThreadMessageQueue::PopPublished(CThreadMessage& out)
{
    while (!TryPop(out)) {
        Cell& cell = m_cells[m_nDequeue & m_nMask];
        // The value it holds while unpublished for this lap.
        cell.sequence.wait(m_nDequeue, std::memory_order_acquire);
    }
}

void CThreadMessageQueue::Get(CThreadMessage& out)
{
    m_available.acquire();
    PopPublished(out);
}

bool CThreadMessageQueue::GetFor(CThreadMessage& out, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    if (!m_available.try_acquire_until(deadline))
        return false;
    PopPublished(out);
    return true;
}

bool CThreadMessageQueue::Peek(CThreadMessage& out)
{
    if (!m_available.try_acquire())
        return false;
    PopPublished(out);
    return true;
}
