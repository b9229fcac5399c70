#pragma once
// The buffers queued on one stream and the notices the stream posts: the
// part every driver shares.
//
// Threads: Add is called by threads outside the driver (UI and capture
// thread), serialised among themselves by a lock the driver never takes.
// Write and WriteMono belong to the driver's thread (a real-time callback
// or a pacing thread): they take no lock, allocate nothing and never wait.
// ReturnAll runs on the stream owner's thread once the driver's thread has
// stopped (the stop hands the consumer side over). The counters and the
// notices may be read or posted from any thread.
#include "platform/SpscRing.h"
#include "platform/wavein/WaveInDefs.h"

#include <atomic>
#include <cstdint>
#include <mutex>

class CThreadMessageQueue;

class CWaveBufferQueue {
public:
    explicit CWaveBufferQueue(CThreadMessageQueue& notify);
    CWaveBufferQueue(const CWaveBufferQueue&) = delete;
    CWaveBufferQueue& operator=(const CWaveBufferQueue&) = delete;

    // Queues a buffer. WAVERR_UNPREPARED for an unprepared header,
    // MMSYSERR_INVALPARAM for one without data, MMSYSERR_NOMEM when full.
    MMRESULT Add(WAVEHDR* header);

    // Driver: appends `frames` interleaved stereo frames to the queued
    // buffers, returning every buffer that becomes full, in order. Frames
    // that find no queued buffer are dropped and counted; the count dropped
    // is returned.
    int Write(const std::int16_t* stereo, int frames);
    // Driver: the same for mono frames, each written to both channels.
    int WriteMono(const std::int16_t* mono, int frames);

    // Returns every queued buffer as a data notice, the partly filled one
    // first with the bytes it holds.
    void ReturnAll();

    int Queued() const { return m_nQueued.load(std::memory_order_acquire); }
    long long Overruns() const { return m_nOverruns.load(std::memory_order_relaxed); }
    // Writes that had to drop frames (one gap each, however many frames).
    long long OverrunGaps() const { return m_nOverrunGaps.load(std::memory_order_relaxed); }

    void PostOpen();
    void PostClose();
    // A device lost while running: posts the close notice (marked
    // WIM_CLOSE_LOST) once per stream, so the capture thread stops using the
    // device instead of waiting.
    void PostLost();

private:
    // The head buffer being filled, or nullptr when none is queued.
    WAVEHDR* Head();
    void ReturnHead();
    // Copies `frames` frames into the queued buffers through copy(out,
    // first, n), returning each buffer that becomes full; returns the number
    // of frames that found no buffer.
    template <class CopyFrames> int Fill(int frames, CopyFrames copy);

    CThreadMessageQueue& m_notify;
    CSpscRing<WAVEHDR*> m_ring;
    std::mutex m_addLock;
    std::atomic<int> m_nQueued { 0 };
    std::atomic<long long> m_nOverruns { 0 };
    std::atomic<long long> m_nOverrunGaps { 0 };
    std::atomic<bool> m_bLostPosted { false };
    // Consumer side only: bytes already written into the head buffer.
    std::uint32_t m_nHeadBytes = 0;
};
