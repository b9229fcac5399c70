#include "platform/wavein/PortAudioWaveStream.h"

#include "platform/wavein/PortAudioSession.h"

#include <chrono>
#include <cstdint>

namespace {
// How often the watchdog looks at a running stream.
constexpr std::chrono::milliseconds kWatchdogPeriod { 200 };
}

CPortAudioWaveStream::CPortAudioWaveStream(CThreadMessageQueue& notify, int channels, CPortAudioSession& session)
    : m_pState(std::make_unique<CCallbackState>(notify, channels))
    , m_session(session)
{
}

CPortAudioWaveStream::~CPortAudioWaveStream()
{
    StopWatchdog();
    if (!m_pStream)
        return;
    if (IsStuck()) {
        Abandon();
        return;
    }
    m_pState->bStopping.store(true, std::memory_order_release);
    Pa_AbortStream(m_pStream);
    Pa_CloseStream(m_pStream);
    m_session.StreamClosed();
}

PaError CPortAudioWaveStream::OpenStream(const PaStreamParameters& input, double sampleRate)
{
    // Blocks of exactly 512 frames when the host allows it; the queue copes
    // with any other count. No dither: a meter shows the signal, not added noise.
    PaError error = Pa_OpenStream(&m_pStream, &input, nullptr, sampleRate, WaveIn::kBlockFrames,
                                  paClipOff | paDitherOff, &CPortAudioWaveStream::Callback, m_pState.get());
    if (error != paNoError) {
        m_pStream = nullptr;
        return error;
    }
    error = Pa_SetStreamFinishedCallback(m_pStream, &CPortAudioWaveStream::Finished);
    if (error != paNoError) {
        Pa_CloseStream(m_pStream);
        m_pStream = nullptr;
        return error;
    }
    m_session.StreamOpened();
    m_pState->buffers.PostOpen();
    return paNoError;
}

bool CPortAudioWaveStream::IsStuck() const
{
    return m_pState->bLost.load(std::memory_order_acquire) && !m_pState->bFinished.load(std::memory_order_acquire);
}

void CPortAudioWaveStream::Abandon()
{
    m_pState->bAbandoned.store(true, std::memory_order_release);
    // Deliberately leaked: PortAudio still holds a pointer to it.
    (void)m_pState.release();
    m_session.Forget(m_pStream);
    m_pStream = nullptr;
}

MMRESULT CPortAudioWaveStream::Start()
{
    if (!m_pStream)
        return MMSYSERR_INVALHANDLE;
    m_pState->bStopping.store(false, std::memory_order_release);
    const PaError error = Pa_StartStream(m_pStream);
    if (error != paNoError && error != paStreamIsNotStopped)
        return error;
    StartWatchdog();
    return MMSYSERR_NOERROR;
}

MMRESULT CPortAudioWaveStream::Stop()
{
    StopWatchdog();
    if (!m_pStream)
        return MMSYSERR_NOERROR;
    m_pState->bStopping.store(true, std::memory_order_release);
    // A stream PortAudio lost track of never calls back again.
    if (IsStuck())
        return MMSYSERR_NOERROR;
    // When Pa_StopStream returns the callback has run for the last time,
    // which hands the queue's consumer side over to this thread.
    const PaError error = Pa_StopStream(m_pStream);
    return error == paNoError || error == paStreamIsStopped ? MMSYSERR_NOERROR : error;
}

MMRESULT CPortAudioWaveStream::Reset()
{
    Stop();
    m_pState->buffers.ReturnAll();
    return MMSYSERR_NOERROR;
}

MMRESULT CPortAudioWaveStream::Close()
{
    if (m_pState->buffers.Queued() > 0)
        return WAVERR_STILLPLAYING;
    StopWatchdog();
    m_pState->bStopping.store(true, std::memory_order_release);
    CWaveBufferQueue& buffers = m_pState->buffers;
    if (m_pStream && IsStuck()) {
        buffers.PostClose();
        Abandon();
        return MMSYSERR_NOERROR;
    }
    if (m_pStream) {
        const PaError error = Pa_CloseStream(m_pStream);
        // A lost device may not close cleanly; it is gone all the same.
        if (error != paNoError && !m_pState->bLost.load(std::memory_order_acquire))
            return error;
        m_pStream = nullptr;
        m_session.StreamClosed();
    }
    buffers.PostClose();
    return MMSYSERR_NOERROR;
}

int CPortAudioWaveStream::Callback(const void* input, void* output, unsigned long frames,
                                   const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags, void* state)
{
    (void)output;
    (void)time;
    auto* s = static_cast<CCallbackState*>(state);
    if (s->bAbandoned.load(std::memory_order_acquire))
        return paAbort;
    if (flags & paInputOverflow)
        s->nOverflows.fetch_add(1, std::memory_order_relaxed);
    if (!input)
        return paContinue;
    const auto* samples = static_cast<const std::int16_t*>(input);
    if (s->nChannels == 1)
        s->buffers.WriteMono(samples, static_cast<int>(frames));
    else
        s->buffers.Write(samples, static_cast<int>(frames));
    return paContinue;
}

void CPortAudioWaveStream::Finished(void* state)
{
    auto* s = static_cast<CCallbackState*>(state);
    s->bFinished.store(true, std::memory_order_release);
    if (!s->bStopping.load(std::memory_order_acquire) && !s->bAbandoned.load(std::memory_order_acquire))
        ReportLost(*s);
}

void CPortAudioWaveStream::ReportLost(CCallbackState& state)
{
    state.bLost.store(true, std::memory_order_release);
    state.buffers.PostLost();
}

void CPortAudioWaveStream::StartWatchdog()
{
    if (m_watchdog.joinable())
        return;
    m_bWatchdogQuit.store(false, std::memory_order_relaxed);
    m_watchdog = std::thread([this] { Watch(); });
}

void CPortAudioWaveStream::StopWatchdog()
{
    if (!m_watchdog.joinable())
        return;
    m_bWatchdogQuit.store(true, std::memory_order_relaxed);
    m_watchdogWake.release();
    m_watchdog.join();
    (void)m_watchdogWake.try_acquire();
}

void CPortAudioWaveStream::Watch()
{
    CCallbackState& state = *m_pState;
    while (!m_bWatchdogQuit.load(std::memory_order_relaxed)) {
        if (m_watchdogWake.try_acquire_for(kWatchdogPeriod))
            break;
        if (state.bStopping.load(std::memory_order_acquire) || state.bLost.load(std::memory_order_acquire))
            continue;
        // 1 while running; 0 once the stream ended by itself, negative on error.
        if (Pa_IsStreamActive(m_pStream) != 1) {
            ReportLost(state);
            break;
        }
    }
}
