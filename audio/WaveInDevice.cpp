#include "audio/WaveInDevice.h"

#include "platform/Notices.h"

#include <QString>

CWaveInDevice::CWaveInDevice()
    : m_pSampleArea(new std::uint8_t[kSampleAreaBytes]())
{
}

CWaveInDevice::~CWaveInDevice()
{
    StopRecording();
    ResetAndClose();
}

int CWaveInDevice::EnumerateDevices(bool quiet)
{
    m_names.clear();
    const unsigned count = waveInGetNumDevs();
    if (count == 0) {
        if (quiet)
            return -1;
        CNotices::MessageBox(QString::fromLatin1(kNoDeviceText), QString::fromLatin1(kCaption));
        return -1;
    }
    for (unsigned id = 0; id < count; ++id) {
        std::string name;
        waveInGetDevName(static_cast<int>(id), name);
        m_names.push_back(name);
    }
    return static_cast<int>(count);
}

WAVEFORMATEX CWaveInDevice::Format() const
{
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kChannels;
    format.nSamplesPerSec = static_cast<std::uint32_t>(SampleRate());
    format.wBitsPerSample = kBitsPerSample;
    format.nBlockAlign = kChannels * kBitsPerSample / 8;
    format.nAvgBytesPerSec = format.nSamplesPerSec * kChannels * kBitsPerSample / 8;
    format.cbSize = 0;
    return format;
}

MMRESULT CWaveInDevice::OpenHandle(CThreadMessageQueue& notify)
{
    const WAVEFORMATEX format = Format();
    HWAVEIN handle = nullptr;
    const MMRESULT result = waveInOpen(&handle, DeviceId(), &format, notify);
    m_hWaveIn.store(handle, std::memory_order_release);
    m_nOpenResult.store(result, std::memory_order_release);
    return result;
}

int CWaveInDevice::Open(CThreadMessageQueue& notify, bool quiet)
{
    std::unique_lock lock(m_openLock);
    // A stop that timed out leaves the old handle to its late close, which
    // must not be handed the new one: no open until it has gone.
    if (IsOpen())
        return 0;
    MMRESULT result = OpenHandle(notify);
    if (result == MMSYSERR_ALLOCATED) {
        lock.unlock();
        if (!quiet)
            CNotices::MessageBox(QString::fromLatin1(kBusyText), QString::fromLatin1(kCaption));
        return 0;
    }
    if (result == WAVERR_BADFORMAT) {
        // One retry at the other rate; the new rate stays either way and the
        // document notices the change.
        SetSampleRate(SampleRate() == kDefaultRate ? kOtherRate : kDefaultRate);
        result = OpenHandle(notify);
    }
    if (result != MMSYSERR_NOERROR) {
        lock.unlock();
        if (!quiet)
            ShowOpenFailure(result);
        return 0;
    }
    PrimeAndStart();
    return 1;
}

void CWaveInDevice::ShowOpenFailure(MMRESULT result) const
{
    std::string text = waveInGetErrorText(result);
    if (text.size() > kErrorTextBytes - 1)
        text.resize(kErrorTextBytes - 1);
    CNotices::MessageBox(QString::fromStdString(text), QString::fromLatin1(kCaption));
}

void CWaveInDevice::QueueBuffer(int i)
{
    WAVEHDR& header = m_headers[i];
    header.lpData = reinterpret_cast<char*>(m_pSampleArea.get() + i * kBufferBytes);
    header.dwBufferLength = kBufferBytes;
    header.dwFlags = 0;
    header.dwLoops = 0;
    const HWAVEIN handle = m_hWaveIn.load(std::memory_order_acquire);
    waveInPrepareHeader(handle, &header);
    waveInAddBuffer(handle, &header);
}

void CWaveInDevice::PrimeAndStart()
{
    for (int i = 0; i < kQueuedBuffers; ++i)
        QueueBuffer(i);
    m_bRunning.store(1, std::memory_order_release);
    m_nRingIndex.store(0, std::memory_order_relaxed);
    waveInStart(m_hWaveIn.load(std::memory_order_acquire));
}

void CWaveInDevice::Requeue()
{
    const int index = m_nRingIndex.load(std::memory_order_relaxed);
    waveInUnprepareHeader(m_hWaveIn.load(std::memory_order_acquire), &m_headers[index]);
    const int prev = index == 0 ? kBuffers - 1 : index - 1;
    m_nRingIndex.store(index + 1 == kBuffers ? 0 : index + 1, std::memory_order_relaxed);
    // The buffer returned one notice earlier goes back only now, so its
    // samples survive until the hub has formed its window.
    QueueBuffer(prev);
}

void CWaveInDevice::StopRecording()
{
    m_bRunning.store(0, std::memory_order_release);
    waveInStop(m_hWaveIn.load(std::memory_order_acquire));
}

void CWaveInDevice::ResetAndClose()
{
    std::lock_guard lock(m_openLock);
    const HWAVEIN handle = m_hWaveIn.load(std::memory_order_acquire);
    if (OpenResult() == MMSYSERR_NOERROR)
        waveInReset(handle);
    if (OpenResult() == MMSYSERR_NOERROR && waveInClose(handle) == MMSYSERR_NOERROR) {
        m_hWaveIn.store(nullptr, std::memory_order_release);
        m_nOpenResult.store(kClosedMarker, std::memory_order_release);
    }
}

long long CWaveInDevice::DropoutCount() const
{
    const HWAVEIN handle = m_hWaveIn.load(std::memory_order_acquire);
    return handle && IsOpen() ? handle->DropoutCount() : 0;
}

int CWaveInDevice::QueuedBuffers() const
{
    const HWAVEIN handle = m_hWaveIn.load(std::memory_order_acquire);
    return handle && IsOpen() ? handle->QueuedBuffers() : 0;
}
