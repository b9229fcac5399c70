#pragma once
// An open PortAudio input stream in callback mode (its blocking read on the
// JACK host API overruns its buffer). The callback copies 16-bit frames
// into the queued buffers and posts a data notice for each full one; frames
// that find no buffer are counted as overruns. A stream that ends by itself
// (device unplugged, audio server gone) posts the close notice, so the
// capture thread stops using it instead of waiting for blocks.
//
// Threads: the callback and the finished callback run on PortAudio's thread
// and take no lock, allocate nothing and never wait. Start, Stop, Reset and
// Close are called by the handle's owner.
#include "platform/wavein/WaveBufferQueue.h"
#include "platform/wavein/WaveInStream.h"

#include <portaudio.h>

#include <atomic>

class CThreadMessageQueue;

class CPortAudioWaveStream : public IWaveInStream {
public:
    // A stream of `channels` 16-bit channels (1 or 2: mono is written to
    // both sides), notices to `notify`.
    CPortAudioWaveStream(CThreadMessageQueue& notify, int channels);
    ~CPortAudioWaveStream() override;

    // Opens the PortAudio stream and posts the open notice; PortAudio's
    // error code on failure.
    PaError OpenStream(const PaStreamParameters& input, double sampleRate);

    MMRESULT AddBuffer(WAVEHDR* header) override { return m_buffers.Add(header); }
    MMRESULT Start() override;
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    MMRESULT Close() override;
    int QueuedBuffers() const override { return m_buffers.Queued(); }
    long long OverrunFrames() const override { return m_buffers.Overruns(); }

private:
    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags, void* self);
    static void Finished(void* self);

    CWaveBufferQueue m_buffers;
    const int m_nChannels;
    PaStream* m_pStream = nullptr;
    // Set before the owner stops the stream, so the finished callback knows
    // the end was asked for.
    std::atomic<bool> m_bStopping { false };
};
