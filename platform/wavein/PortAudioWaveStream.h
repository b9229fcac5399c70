#pragma once
// An open PortAudio input stream in callback mode (its blocking read on the
// JACK host API overruns its buffer). The callback copies 16-bit frames
// into the queued buffers and posts a data notice for each full one; frames
// that find no buffer are counted as overruns.
//
// A stream that ends by itself (device unplugged, audio server gone) posts
// the close notice, so the capture thread stops using it instead of waiting
// for blocks: PortAudio's finished callback reports the ALSA case, and a
// watchdog that looks at the stream a few times a second catches a JACK
// server that went away (that host API just stops calling back). PortAudio
// cannot stop or close a stream whose JACK server has gone (the calls never
// return), so such a stream is abandoned: its callback state is left alive
// and inert, and the stream is handed to the session, which forgets it.
//
// Threads: the callback and the finished callback run on PortAudio's thread
// and take no lock, allocate nothing and never wait. Start, Stop, Reset and
// Close are called by the handle's owner; the watchdog runs only between
// Start and the next Stop or Close, which end it before touching the stream.
#include "platform/wavein/WaveBufferQueue.h"
#include "platform/wavein/WaveInStream.h"

#include <portaudio.h>

#include <atomic>
#include <memory>
#include <semaphore>
#include <thread>

class CPortAudioSession;
class CThreadMessageQueue;

class CPortAudioWaveStream : public IWaveInStream {
public:
    // A stream of `channels` 16-bit channels (1 or 2: mono is written to
    // both sides), notices to `notify`, open streams counted by `session`.
    CPortAudioWaveStream(CThreadMessageQueue& notify, int channels, CPortAudioSession& session);
    ~CPortAudioWaveStream() override;

    // Opens the PortAudio stream and posts the open notice; PortAudio's
    // error code on failure.
    PaError OpenStream(const PaStreamParameters& input, double sampleRate);

    MMRESULT AddBuffer(WAVEHDR* header) override { return m_pState->buffers.Add(header); }
    MMRESULT Start() override;
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    MMRESULT Close() override;
    int QueuedBuffers() const override { return m_pState->buffers.Queued(); }
    long long OverrunFrames() const override { return m_pState->buffers.Overruns(); }
    long long DropoutCount() const override
    {
        return m_pState->nOverflows.load(std::memory_order_relaxed) + m_pState->buffers.OverrunGaps();
    }

private:
    // What the callbacks touch, kept apart so an abandoned stream's
    // callbacks still find valid (inert) state.
    struct CCallbackState {
        CCallbackState(CThreadMessageQueue& notify, int channels) : buffers(notify), nChannels(channels) {}
        CWaveBufferQueue buffers;
        const int nChannels;
        // Set before the owner stops the stream, so the finished callback
        // knows the end was asked for.
        std::atomic<bool> bStopping { false };
        // The stream ended by itself; its close notice has been posted.
        std::atomic<bool> bLost { false };
        // Reported by PortAudio itself (finished callback): it can still close.
        std::atomic<bool> bFinished { false };
        // Left behind: the callbacks do nothing any more.
        std::atomic<bool> bAbandoned { false };
        // Callbacks that reported lost input (PortAudio's overflow flag).
        std::atomic<long long> nOverflows { 0 };
    };

    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags, void* state);
    static void Finished(void* state);
    static void ReportLost(CCallbackState& state);
    // A stream lost without PortAudio noticing: PortAudio can no longer stop it.
    bool IsStuck() const;
    void Abandon();
    void StartWatchdog();
    void StopWatchdog();
    void Watch();

    std::unique_ptr<CCallbackState> m_pState;
    CPortAudioSession& m_session;
    PaStream* m_pStream = nullptr;
    std::thread m_watchdog;
    std::binary_semaphore m_watchdogWake { 0 };
    std::atomic<bool> m_bWatchdogQuit { false };
};
