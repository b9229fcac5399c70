#pragma once
// A stream whose samples come from a frame source, played in real time: a
// pacing thread of its own renders one 512-frame block per period and
// sleeps to the clock, so the capture path sees the cadence of a sound card.
// Used by the demo and file drivers.
//
// Threads: Start, Stop, Reset and Close are called by the handle's owner;
// the pacing thread only renders, fills queued buffers and posts notices
// (no allocation, no lock).
#include "platform/wavein/FrameSource.h"
#include "platform/wavein/WaveBufferQueue.h"
#include "platform/wavein/WaveInStream.h"

#include <array>
#include <atomic>
#include <memory>
#include <semaphore>
#include <thread>

class CThreadMessageQueue;

class CPacedWaveStream : public IWaveInStream {
public:
    static constexpr int kBlockFrames = WaveIn::kBlockFrames;

    // Posts the open notice.
    CPacedWaveStream(std::unique_ptr<IFrameSource> source, int sampleRate, CThreadMessageQueue& notify);
    ~CPacedWaveStream() override;

    MMRESULT AddBuffer(WAVEHDR* header) override { return m_buffers.Add(header); }
    MMRESULT Start() override;
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    MMRESULT Close() override;
    int QueuedBuffers() const override { return m_buffers.Queued(); }
    long long OverrunFrames() const override { return m_buffers.Overruns(); }
    long long DropoutCount() const override { return m_buffers.OverrunGaps(); }

private:
    void Pace();

    std::unique_ptr<IFrameSource> m_source;
    const int m_nSampleRate;
    CWaveBufferQueue m_buffers;
    std::array<std::int16_t, 2 * kBlockFrames> m_block {};
    std::thread m_thread;
    // Released by Stop: ends the pacing thread's sleep at once.
    std::binary_semaphore m_wake { 0 };
    std::atomic<bool> m_bStopping { false };
};
