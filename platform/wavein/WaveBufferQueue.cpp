#include "platform/wavein/WaveBufferQueue.h"

#include "platform/ThreadMessageQueue.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kBytesPerFrame = 4; // two 16-bit samples
}

CWaveBufferQueue::CWaveBufferQueue(CThreadMessageQueue& notify)
    : m_notify(notify)
    , m_ring(WaveIn::kMaxQueuedBuffers)
{
}

MMRESULT CWaveBufferQueue::Add(WAVEHDR* header)
{
    if (!header || !header->lpData || header->dwBufferLength < kBytesPerFrame)
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    std::lock_guard lock(m_addLock);
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    // Counted before it is published, so the driver's decrement never
    // drives the count below zero.
    m_nQueued.fetch_add(1, std::memory_order_relaxed);
    // The ring's release store publishes the header fields to the driver.
    if (!m_ring.Push(header)) {
        m_nQueued.fetch_sub(1, std::memory_order_relaxed);
        header->dwFlags &= ~WHDR_INQUEUE;
        return MMSYSERR_NOMEM;
    }
    return MMSYSERR_NOERROR;
}

WAVEHDR* CWaveBufferQueue::Head()
{
    WAVEHDR* const* slot = m_ring.BeginRead();
    return slot ? *slot : nullptr;
}

void CWaveBufferQueue::ReturnHead()
{
    WAVEHDR* header = Head();
    header->dwBytesRecorded = m_nHeadBytes;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    m_nHeadBytes = 0;
    m_ring.EndRead();
    m_nQueued.fetch_sub(1, std::memory_order_release);
    // The message queue's release store hands the filled buffer to the
    // capture thread.
    m_notify.Post(MM_WIM_DATA, 0, reinterpret_cast<std::intptr_t>(header));
}

template <class CopyFrames>
int CWaveBufferQueue::Fill(int frames, CopyFrames copy)
{
    int done = 0;
    while (done < frames) {
        WAVEHDR* header = Head();
        if (!header)
            break;
        const int room = static_cast<int>((header->dwBufferLength - m_nHeadBytes) / kBytesPerFrame);
        const int n = std::min(room, frames - done);
        copy(reinterpret_cast<std::int16_t*>(header->lpData + m_nHeadBytes), done, n);
        m_nHeadBytes += static_cast<std::uint32_t>(n * kBytesPerFrame);
        done += n;
        if (m_nHeadBytes + kBytesPerFrame > header->dwBufferLength)
            ReturnHead();
    }
    const int dropped = frames - done;
    if (dropped > 0) {
        m_nOverruns.fetch_add(dropped, std::memory_order_relaxed);
        m_nOverrunGaps.fetch_add(1, std::memory_order_relaxed);
    }
    return dropped;
}

int CWaveBufferQueue::Write(const std::int16_t* stereo, int frames)
{
    return Fill(frames, [stereo](std::int16_t* out, int first, int n) {
        std::memcpy(out, stereo + 2 * first, static_cast<std::size_t>(n) * kBytesPerFrame);
    });
}

int CWaveBufferQueue::WriteMono(const std::int16_t* mono, int frames)
{
    return Fill(frames, [mono](std::int16_t* out, int first, int n) {
        for (int i = 0; i < n; ++i) {
            out[2 * i] = mono[first + i];
            out[2 * i + 1] = mono[first + i];
        }
    });
}

void CWaveBufferQueue::ReturnAll()
{
    while (Head())
        ReturnHead();
}

void CWaveBufferQueue::PostOpen() { m_notify.Post(MM_WIM_OPEN); }

void CWaveBufferQueue::PostClose() { m_notify.Post(MM_WIM_CLOSE); }

void CWaveBufferQueue::PostLost()
{
    if (!m_bLostPosted.exchange(true, std::memory_order_acq_rel))
        m_notify.Post(MM_WIM_CLOSE, WIM_CLOSE_LOST);
}
