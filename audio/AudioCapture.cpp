#include "audio/AudioCapture.h"

#include "audio/BlockSink.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

CAudioCapture::CAudioCapture()
    : m_pDevice(std::make_unique<CWaveInDevice>())
{
}

CAudioCapture::~CAudioCapture()
{
    EndThread();
    // The device closes itself if the thread never ran its exit.
    m_pDevice.reset();
}

bool CAudioCapture::CreateThread()
{
    if (m_thread.joinable())
        return true;
    {
        std::lock_guard lock(m_closeLock);
        m_bThreadEnded = false;
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CAudioCapture::EndThread()
{
    if (!m_thread.joinable())
        return;
    m_bStop.store(1, std::memory_order_release);
    m_queue.Post(CThreadMessageQueue::WM_QUIT);
    m_thread.join();
}

int CAudioCapture::Open(bool quiet) { return m_pDevice->Open(m_queue, quiet); }

bool CAudioCapture::StopCapture()
{
    std::unique_lock lock(m_closeLock);
    if (m_bThreadEnded || !m_thread.joinable())
        return m_bThreadEnded;
    const std::uint64_t closesBefore = m_nCloses;
    lock.unlock();
    m_queue.Post(WM_CAPTURE_STOP);
    lock.lock();
    return m_closeCv.wait_for(lock, kCloseTimeout,
                              [&] { return m_nCloses != closesBefore || m_bThreadEnded; });
}

bool CAudioCapture::WaitForIdle(std::chrono::milliseconds timeout)
{
    if (!m_thread.joinable())
        return false;
    const std::uint64_t ticket = ++m_nSyncsPosted;
    if (!m_queue.Post(WM_CAPTURE_SYNC, static_cast<std::uintptr_t>(ticket)))
        return false;
    std::unique_lock lock(m_closeLock);
    return m_closeCv.wait_for(lock, timeout, [&] { return m_nSyncsDone >= ticket || m_bThreadEnded; })
        && m_nSyncsDone >= ticket;
}

std::uint64_t CAudioCapture::CloseNotices() const
{
    std::lock_guard lock(m_closeLock);
    return m_nCloses;
}

// ---- capture thread ----------------------------------------------------------

void CAudioCapture::Run()
{
    m_nThreadId.store(static_cast<int>(::syscall(SYS_gettid)), std::memory_order_release);
    ApplyPriority();
    CThreadMessage msg;
    while (!m_bStop.load(std::memory_order_acquire)) {
        m_queue.Get(msg);
        if (msg.message == CThreadMessageQueue::WM_QUIT)
            break;
        HandleMessage(msg);
    }
    DrainAfterStop();
    ExitInstance();
    m_nThreadId.store(0, std::memory_order_release);
    SignalClosed(true);
}

void CAudioCapture::HandleMessage(const CThreadMessage& msg)
{
    switch (msg.message) {
    case MM_WIM_OPEN: OnOpen(); break;
    case MM_WIM_CLOSE: OnClose(msg); break;
    case MM_WIM_DATA: OnData(msg); break;
    case WM_CAPTURE_STOP: OnStop(); break;
    case WM_CAPTURE_SYNC: OnSync(); break;
    default: break;
    }
}

void CAudioCapture::OnOpen()
{
    m_nDropoutsSeen = 0;
    if (IBlockSink* document = m_pDocument.load(std::memory_order_acquire))
        document->OnInputOpened();
    m_bOpened.store(1, std::memory_order_release);
}

void CAudioCapture::OnClose(const CThreadMessage& msg)
{
    if (msg.wParam == WIM_CLOSE_LOST) {
        OnLost();
        return;
    }
    // Cleared before the waiter wakes, so a new open can never see it set late.
    m_bOpened.store(0, std::memory_order_release);
    SignalClosed(false);
}

// The device stopped by itself: it is closed here (its buffers come back
// and are dropped, its own close notice follows) and the document hears of
// it at once. A device the user already closed has nothing more to say.
void CAudioCapture::OnLost()
{
    if (!m_pDevice->IsOpen())
        return;
    m_bOpened.store(0, std::memory_order_release);
    m_nLost.fetch_add(1, std::memory_order_relaxed);
    m_pDevice->StopRecording();
    m_pDevice->ResetAndClose();
    if (IBlockSink* document = m_pDocument.load(std::memory_order_acquire))
        document->OnInputLost();
}

void CAudioCapture::CountDeviceDropouts()
{
    const long long count = m_pDevice->DropoutCount();
    if (count > m_nDropoutsSeen) {
        m_nDeviceDropouts.fetch_add(static_cast<std::uint64_t>(count - m_nDropoutsSeen), std::memory_order_relaxed);
        m_nDropoutsSeen = count;
    }
}

void CAudioCapture::OnData(const CThreadMessage& msg)
{
    IBlockSink* document = m_pDocument.load(std::memory_order_acquire);
    const auto* header = reinterpret_cast<const WAVEHDR*>(msg.lParam);
    // Buffers handed back by a reset (the device no longer runs, or the
    // buffer is only partly filled) hold no complete block of audio.
    const bool complete = m_pDevice->IsRunning() && header
        && header->dwBytesRecorded == static_cast<std::uint32_t>(CWaveInDevice::kBufferBytes);
    if (!document || !complete || !m_bOpened.load(std::memory_order_acquire)
        || m_bStop.load(std::memory_order_acquire)) {
        m_nDropped.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    CountDeviceDropouts();
    m_pDevice->Requeue();
    document->ProcessBlock(reinterpret_cast<const std::uint8_t*>(header->lpData), m_pDevice->SampleArea());
    m_nDelivered.fetch_add(1, std::memory_order_relaxed);
}

void CAudioCapture::OnStop()
{
    const bool wasOpen = m_pDevice->IsOpen();
    m_pDevice->StopRecording();
    m_pDevice->ResetAndClose();
    // A device that was not open sends no close notice: nobody should wait for one.
    if (!wasOpen)
        SignalClosed(false);
}

void CAudioCapture::OnSync()
{
    std::lock_guard lock(m_closeLock);
    ++m_nSyncsDone;
    m_closeCv.notify_all();
}

// The loop ends as soon as the stop flag is set, which the document does
// just before it posts its stop. The messages still waiting are handled here
// (data notices are dropped by the flag), so a stop posted before the loop
// ended still closes the device and its close notice still reaches the
// waiting UI thread instead of leaving it to time out.
void CAudioCapture::DrainAfterStop()
{
    CThreadMessage msg;
    while (m_queue.Peek(msg)) {
        if (msg.message != CThreadMessageQueue::WM_QUIT)
            HandleMessage(msg);
    }
}

void CAudioCapture::ExitInstance()
{
    if (m_pDevice->IsRunning()) {
        m_pDevice->StopRecording();
        m_pDevice->ResetAndClose();
    }
}

void CAudioCapture::SignalClosed(bool threadEnded)
{
    std::lock_guard lock(m_closeLock);
    if (threadEnded)
        m_bThreadEnded = true;
    else
        ++m_nCloses;
    m_closeCv.notify_all();
}

// ---- priorities ----------------------------------------------------------------

bool CAudioCapture::SetThreadPriority(bool high)
{
    m_bPriorityHigh.store(high, std::memory_order_relaxed);
    return ApplyPriority();
}

bool CAudioCapture::ApplyPriority()
{
    const int tid = m_nThreadId.load(std::memory_order_acquire);
    if (tid == 0)
        return true; // applied by the thread when it starts
    const int nice = m_bPriorityHigh.load(std::memory_order_relaxed) ? kNiceHighSetting : kNiceNormalSetting;
    // Linux keeps a niceness per thread; a refusal (EACCES) leaves it as it was.
    return ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0;
}
