#pragma once
// The capture device: the list of input device names, the open device and
// its ring of 32 buffers in one 64 KiB sample area, buffer i at byte offset
// i x 2048, so buffer i-1 directly precedes buffer i (the hub's windows rely
// on it).
//
// Threads: the name list, device id and rate, and Open() belong to the UI
// thread (the ring is primed there, inside the open lock, before recording
// starts). Requeue(), StopRecording() and ResetAndClose() run on the capture
// thread. Values both threads read are atomics; buffers and headers travel
// with the driver's notices, which order them.
#include "platform/wavein/WaveIn.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CThreadMessageQueue;

class CWaveInDevice {
public:
    static constexpr int kBuffers = 32;
    // Queued at the open: all but the last, which joins one notice later.
    static constexpr int kQueuedBuffers = 31;
    static constexpr int kFramesPerBuffer = 512;
    static constexpr int kChannels = 2;
    static constexpr int kBitsPerSample = 16;
    static constexpr int kBufferBytes = kFramesPerBuffer * kChannels * kBitsPerSample / 8; // 2048
    static constexpr int kSampleAreaBytes = kBuffers * kBufferBytes; // 65536
    // The open result of a closed device.
    static constexpr MMRESULT kClosedMarker = MMSYSERR_BADDEVICEID;
    static constexpr int kErrorTextBytes = 1024;
    static constexpr int kDefaultRate = 44100;
    static constexpr int kOtherRate = 48000;

    static constexpr const char* kCaption = "Recorder";
    static constexpr const char* kNoDeviceText = "No input device found!";
    static constexpr const char* kBusyText =
        "Another application is recording audio. Stop recording with this other application and then try again.";

    CWaveInDevice();
    ~CWaveInDevice();
    CWaveInDevice(const CWaveInDevice&) = delete;
    CWaveInDevice& operator=(const CWaveInDevice&) = delete;

    // Fills the name list; the count, or -1 (after "No input device found!",
    // unless `quiet`).
    int EnumerateDevices(bool quiet = false);
    const std::vector<std::string>& Names() const { return m_names; }

    int DeviceId() const { return m_nDeviceId.load(std::memory_order_relaxed); }
    void SetDeviceId(int id) { m_nDeviceId.store(id, std::memory_order_relaxed); }
    int SampleRate() const { return m_nSampleRate.load(std::memory_order_relaxed); }
    void SetSampleRate(int rate) { m_nSampleRate.store(rate, std::memory_order_relaxed); }

    // Opens the device with notices to `notify`, primes 31 buffers and starts
    // recording. 1 on success; 0 after the failure has been shown (or, with
    // `quiet`, without showing it: the retries after a lost device). UI thread.
    int Open(CThreadMessageQueue& notify, bool quiet = false);
    // The open device's interruptions so far (0 when closed). Capture thread.
    long long DropoutCount() const;
    // Rotates the ring for one returned buffer. Capture thread.
    void Requeue();
    // Clears running and stops recording. Capture thread.
    void StopRecording();
    // If open: resets (the queued buffers come back as data notices) and
    // closes; a successful close marks the device closed. Capture thread.
    void ResetAndClose();

    bool IsRunning() const { return m_bRunning.load(std::memory_order_acquire) != 0; }
    MMRESULT OpenResult() const { return m_nOpenResult.load(std::memory_order_acquire); }
    bool IsOpen() const { return OpenResult() == MMSYSERR_NOERROR; }
    int RingIndex() const { return m_nRingIndex.load(std::memory_order_relaxed); }
    const std::uint8_t* SampleArea() const { return m_pSampleArea.get(); }
    const std::uint8_t* Buffer(int i) const { return m_pSampleArea.get() + i * kBufferBytes; }
    const WAVEHDR& Header(int i) const { return m_headers[i]; }
    // Buffers the open device holds (0 when closed).
    int QueuedBuffers() const;

private:
    WAVEFORMATEX Format() const;
    MMRESULT OpenHandle(CThreadMessageQueue& notify);
    void ShowOpenFailure(MMRESULT result) const;
    void PrimeAndStart();
    void QueueBuffer(int i);

    std::vector<std::string> m_names;
    std::atomic<int> m_bRunning { 0 };
    std::atomic<int> m_nDeviceId { 0 };
    std::atomic<HWAVEIN> m_hWaveIn { nullptr };
    std::atomic<MMRESULT> m_nOpenResult { kClosedMarker };
    std::atomic<int> m_nSampleRate { kDefaultRate };
    std::atomic<int> m_nRingIndex { 0 };
    // Held while the handle is opened and primed (UI thread) and while it is
    // reset and closed (capture thread), so an open that follows a stop that
    // timed out never races the late close over the handle.
    std::mutex m_openLock;
    std::unique_ptr<std::uint8_t[]> m_pSampleArea;
    WAVEHDR m_headers[kBuffers] {};
};
