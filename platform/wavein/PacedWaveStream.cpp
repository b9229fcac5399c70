#include "platform/wavein/PacedWaveStream.h"

#include <chrono>

namespace {
// A pacing thread that fell further behind than this starts its clock anew
// instead of rushing out a burst of blocks.
constexpr int kMaxLateBlocks = 4;
}

CPacedWaveStream::CPacedWaveStream(std::unique_ptr<IFrameSource> source, int sampleRate,
                                   CThreadMessageQueue& notify)
    : m_source(std::move(source))
    , m_nSampleRate(sampleRate)
    , m_buffers(notify)
{
    m_buffers.PostOpen();
}

CPacedWaveStream::~CPacedWaveStream() { Stop(); }

MMRESULT CPacedWaveStream::Start()
{
    if (m_thread.joinable())
        return MMSYSERR_NOERROR;
    m_bStopping.store(false, std::memory_order_relaxed);
    m_thread = std::thread([this] { Pace(); });
    return MMSYSERR_NOERROR;
}

MMRESULT CPacedWaveStream::Stop()
{
    if (!m_thread.joinable())
        return MMSYSERR_NOERROR;
    m_bStopping.store(true, std::memory_order_relaxed);
    m_wake.release();
    // The join hands the buffer queue's consumer side back to this thread.
    m_thread.join();
    (void)m_wake.try_acquire();
    return MMSYSERR_NOERROR;
}

MMRESULT CPacedWaveStream::Reset()
{
    Stop();
    m_buffers.ReturnAll();
    return MMSYSERR_NOERROR;
}

MMRESULT CPacedWaveStream::Close()
{
    if (m_buffers.Queued() > 0)
        return WAVERR_STILLPLAYING;
    Stop();
    m_buffers.PostClose();
    return MMSYSERR_NOERROR;
}

void CPacedWaveStream::Pace()
{
    using Clock = std::chrono::steady_clock;
    // Block deadlines come from the frame count, so rounding never drifts.
    auto start = Clock::now();
    long long frames = 0;
    const auto deadline = [&](long long n) {
        return start + std::chrono::nanoseconds(n * 1'000'000'000LL / m_nSampleRate);
    };
    while (!m_bStopping.load(std::memory_order_relaxed)) {
        m_source->Render(m_block.data(), kBlockFrames);
        m_buffers.Write(m_block.data(), kBlockFrames);
        frames += kBlockFrames;
        auto next = deadline(frames);
        const auto now = Clock::now();
        if (now - next > std::chrono::nanoseconds(kMaxLateBlocks * kBlockFrames * 1'000'000'000LL / m_nSampleRate)) {
            start = now;
            frames = 0;
            next = now;
        }
        if (m_wake.try_acquire_until(next))
            break;
    }
}
