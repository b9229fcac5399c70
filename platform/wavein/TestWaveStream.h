#pragma once
// The stream of the test driver (CTestWaveDriver): not paced, it fills a
// buffer only when the test delivers a block.
// Threads: the driver's lock serialises delivery (test thread) with Stop,
// Reset and Close (capture thread); AddBuffer follows IWaveInStream.
#include "platform/wavein/WaveBufferQueue.h"
#include "platform/wavein/WaveInStream.h"

class CTestWaveDriver;
class CThreadMessageQueue;

class CTestWaveStream : public IWaveInStream {
public:
    CTestWaveStream(CTestWaveDriver& driver, CThreadMessageQueue& notify);
    ~CTestWaveStream() override;

    MMRESULT AddBuffer(WAVEHDR* header) override { return m_buffers.Add(header); }
    MMRESULT Start() override;
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    MMRESULT Close() override;
    int QueuedBuffers() const override { return m_buffers.Queued(); }
    long long OverrunFrames() const override { return m_buffers.Overruns(); }
    long long DropoutCount() const override { return m_buffers.OverrunGaps(); }

    // Called by the driver under its lock.
    bool Deliver(const std::int16_t* stereo, int frames);
    void Lose() { m_buffers.PostLost(); }
    void PostOpenNotice() { m_buffers.PostOpen(); }
    bool IsStarted() const { return m_bStarted; }

private:
    CTestWaveDriver& m_driver;
    CWaveBufferQueue m_buffers;
    bool m_bStarted = false; // under the driver's lock
};
