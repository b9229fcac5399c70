#include "platform/wavein/PortAudioWaveStream.h"

#include <cstdint>

CPortAudioWaveStream::CPortAudioWaveStream(CThreadMessageQueue& notify, int channels)
    : m_buffers(notify)
    , m_nChannels(channels)
{
}

CPortAudioWaveStream::~CPortAudioWaveStream()
{
    if (m_pStream) {
        m_bStopping.store(true, std::memory_order_release);
        Pa_AbortStream(m_pStream);
        Pa_CloseStream(m_pStream);
    }
}

PaError CPortAudioWaveStream::OpenStream(const PaStreamParameters& input, double sampleRate)
{
    // Blocks of exactly 512 frames when the host allows it; the queue copes
    // with any other count. No dither: a meter shows the signal, not added noise.
    PaError error = Pa_OpenStream(&m_pStream, &input, nullptr, sampleRate, WaveIn::kBlockFrames,
                                  paClipOff | paDitherOff,
                                  &CPortAudioWaveStream::Callback, this);
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
    m_buffers.PostOpen();
    return paNoError;
}

MMRESULT CPortAudioWaveStream::Start()
{
    m_bStopping.store(false, std::memory_order_release);
    const PaError error = Pa_StartStream(m_pStream);
    return error == paNoError || error == paStreamIsNotStopped ? MMSYSERR_NOERROR : error;
}

MMRESULT CPortAudioWaveStream::Stop()
{
    m_bStopping.store(true, std::memory_order_release);
    // When Pa_StopStream returns the callback has run for the last time,
    // which hands the queue's consumer side over to this thread.
    const PaError error = Pa_StopStream(m_pStream);
    return error == paNoError || error == paStreamIsStopped ? MMSYSERR_NOERROR : error;
}

MMRESULT CPortAudioWaveStream::Reset()
{
    Stop();
    m_buffers.ReturnAll();
    return MMSYSERR_NOERROR;
}

MMRESULT CPortAudioWaveStream::Close()
{
    if (m_buffers.Queued() > 0)
        return WAVERR_STILLPLAYING;
    m_bStopping.store(true, std::memory_order_release);
    const PaError error = Pa_CloseStream(m_pStream);
    if (error != paNoError)
        return error;
    m_pStream = nullptr;
    m_buffers.PostClose();
    return MMSYSERR_NOERROR;
}

int CPortAudioWaveStream::Callback(const void* input, void* output, unsigned long frames,
                                   const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags, void* self)
{
    (void)output;
    (void)time;
    (void)flags;
    auto* stream = static_cast<CPortAudioWaveStream*>(self);
    if (!input)
        return paContinue;
    const auto* samples = static_cast<const std::int16_t*>(input);
    if (stream->m_nChannels == 1)
        stream->m_buffers.WriteMono(samples, static_cast<int>(frames));
    else
        stream->m_buffers.Write(samples, static_cast<int>(frames));
    return paContinue;
}

void CPortAudioWaveStream::Finished(void* self)
{
    auto* stream = static_cast<CPortAudioWaveStream*>(self);
    if (!stream->m_bStopping.load(std::memory_order_acquire))
        stream->m_buffers.PostLost();
}
