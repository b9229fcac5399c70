#include "platform/ThreadMessageQueue.h"

#include <bit>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) && std::atomic<std::uint32_t>::is_always_lock_free,
    "the futex word must be a plain 32-bit atomic");

std::uint32_t* FutexWord(std::atomic<std::uint32_t>& word) { return reinterpret_cast<std::uint32_t*>(&word); }

}

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
                // An owner that reads the new count also sees the cell.
                m_nPublished.fetch_add(1, std::memory_order_seq_cst);
                WakeOwnerIfAsleep();
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

void CThreadMessageQueue::WakeOwnerIfAsleep()
{
    // Seq_cst against the owner's announcement and its look at the count
    // (PopOrSleep): either that look finds our increment, or this load finds
    // the owner's sleep announced. Only the owner clears the announcement: a
    // poster that cleared it could leave the owner asleep waiting for an
    // earlier claimed cell, whose poster would then see no sleeper.
    if (m_nAsleep.load(std::memory_order_seq_cst) == 0)
        return;
    m_nWakes.fetch_add(1, std::memory_order_relaxed);
    ::syscall(SYS_futex, FutexWord(m_nPublished), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
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
    ++m_nTaken;
    return true;
}

// Messages are taken in claim order, so the head cell may still be between
// its producer's claim and its publication while a later one is ready; the
// owner then sleeps like on an empty queue, and the head's publication wakes
// it. The futex compares the publication count the owner last saw, so a
// message published after that look makes the sleep return at once.
bool CThreadMessageQueue::PopOrSleep(CThreadMessage& out, std::optional<Clock::time_point> deadline)
{
    for (;;) {
        if (TryPop(out))
            return true;
        // Acquire (seq_cst): a count that includes a publication shows its cell.
        const std::uint32_t seen = m_nPublished.load(std::memory_order_seq_cst);
        if (TryPop(out))
            return true;
        timespec timeout {};
        if (deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(*deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            timeout.tv_sec = static_cast<std::time_t>(left / 1000000000);
            timeout.tv_nsec = static_cast<long>(left % 1000000000);
        }
        // Announce the sleep, then look at the count once more (both seq_cst,
        // against the posters' increment and look in WakeOwnerIfAsleep).
        m_nAsleep.store(1, std::memory_order_seq_cst);
        if (m_nPublished.load(std::memory_order_seq_cst) == seen) {
            m_nSleeps.fetch_add(1, std::memory_order_relaxed);
            ::syscall(SYS_futex, FutexWord(m_nPublished), FUTEX_WAIT_PRIVATE, seen, deadline ? &timeout : nullptr, nullptr, 0);
        }
        m_nAsleep.store(0, std::memory_order_relaxed);
        // A sleep that ran out ends the wait, even if a message came just
        // then (the next call takes it), so a wake-up that never came shows
        // as a timeout instead of passing unnoticed.
        if (deadline && Clock::now() >= *deadline)
            return false;
    }
}

void CThreadMessageQueue::Get(CThreadMessage& out) { PopOrSleep(out, std::nullopt); }

bool CThreadMessageQueue::GetFor(CThreadMessage& out, std::chrono::milliseconds timeout)
{
    return PopOrSleep(out, Clock::now() + timeout);
}

bool CThreadMessageQueue::Peek(CThreadMessage& out)
{
    // Only a message already published may be waited for: the head cell's
    // producer is then between its claim and its publication, a few
    // instructions from done. A negative difference is a message taken
    // before its poster counted it.
    if (static_cast<std::int32_t>(m_nPublished.load(std::memory_order_acquire) - m_nTaken) <= 0)
        return false;
    return PopOrSleep(out, std::nullopt);
}
