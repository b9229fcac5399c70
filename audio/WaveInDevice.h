#pragma once
// The capture device: the list of input device names, the open device and
// its ring of 32 buffers in one 64 KiB sample area.
// Device id and sample rate are set on the UI thread; the ring is primed on
// the UI thread (inside the open lock) and rotated on the capture thread.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CWaveInDevice {
public:
    static constexpr int kBuffers = 32;
    static constexpr int kBufferBytes = 2048;

    // Fills the name list; the count, or -1 (after "No input device found!").
    int EnumerateDevices();
    const std::vector<std::string>& Names() const { return m_names; }

    int DeviceId() const { return m_nDeviceId.load(std::memory_order_relaxed); }
    void SetDeviceId(int id) { m_nDeviceId.store(id, std::memory_order_relaxed); }
    int SampleRate() const { return m_nSampleRate.load(std::memory_order_relaxed); }
    void SetSampleRate(int rate) { m_nSampleRate.store(rate, std::memory_order_relaxed); }

private:
    std::vector<std::string> m_names;
    std::atomic<int> m_nDeviceId { 0 };
    std::atomic<int> m_nSampleRate { 44100 };
};
