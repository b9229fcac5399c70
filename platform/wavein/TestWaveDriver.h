#pragma once
// A scriptable, unpaced input driver for tests of the whole capture path.
// While it lives it is the only driver of the wave-input facade (the
// previous drivers come back when it is destroyed). Nothing is delivered by
// itself: each DeliverBlock fills the next queued buffer and posts its data
// notice, so a test decides exactly which samples the capture thread sees.
//
//     CTestWaveDriver driver;                 // before the capture object
//     driver.AddDevice("Line In");            // device id 0
//     CAudioCapture capture; capture.CreateThread();
//     capture.Device().EnumerateDevices(); capture.Open();
//     driver.DeliverBlock(CTestWaveDriver::Block(1000, -1000)); capture.WaitForIdle();
//
// Threads: script it (AddDevice, Refuse*, SetBusy, FailOpen) on the UI/test
// thread while no device is open; DeliverBlock, LoseDevice and the queries
// may be called from any thread. Destroy the capture object (or close the
// device) before the driver.
#include "platform/wavein/WaveInDriver.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class CTestWaveStream;

class CTestWaveDriver : public IWaveInDriver {
public:
    static constexpr int kBlockFrames = WaveIn::kBlockFrames;
    // One block: 512 interleaved stereo frames, left first.
    using BlockData = std::array<std::int16_t, 2 * kBlockFrames>;
    // The code FailOpen uses when none is given.
    static constexpr MMRESULT kDefaultFailure = 1000;

    CTestWaveDriver();
    ~CTestWaveDriver() override;
    CTestWaveDriver(const CTestWaveDriver&) = delete;
    CTestWaveDriver& operator=(const CTestWaveDriver&) = delete;

    // ---- script ----------------------------------------------------------
    // Adds a device; returns its index (its device id when this is the only driver).
    int AddDevice(const std::string& name);
    // An open at `rate` fails with WAVERR_BADFORMAT (32).
    void RefuseRate(int rate) { m_refusedRates.insert(rate); }
    // Both 44100 and 48000 are refused.
    void RefuseBothRates() { RefuseRate(44100); RefuseRate(48000); }
    // Opens fail with MMSYSERR_ALLOCATED (4) while busy.
    void SetBusy(bool busy) { m_bBusy = busy; }
    // Opens fail with `code` whose error text is `text`.
    void FailOpen(MMRESULT code, const std::string& text);
    // Back to accepting every open.
    void ClearFailures();
    // The device this driver names its default (-1: none, so the facade
    // takes device 0).
    void SetDefaultDevice(int index) { m_nDefault = index; }

    // ---- delivery ----------------------------------------------------------
    // Copies one block into the next queued buffer and posts its data notice.
    // False when no device is open and started or no buffer is queued.
    bool DeliverBlock(const BlockData& block);
    bool DeliverBlock(const std::int16_t* stereo512);
    // Simulates a device lost while running (unplugged, server gone): the
    // stream posts its close notice as a failing real device does.
    bool LoseDevice();
    // A block of constant samples.
    static BlockData Block(std::int16_t left, std::int16_t right);

    // ---- what happened -----------------------------------------------------
    // Buffers queued on the open device (0 when none is open).
    int QueuedBuffers() const;
    bool IsOpen() const;
    bool IsStarted() const;
    int OpenCount() const { return m_nOpens.load(); }
    // Rate and device index of the last open attempt, successful or not.
    int LastOpenRate() const { return m_nLastRate.load(); }
    int LastOpenDevice() const { return m_nLastDevice.load(); }

    // ---- IWaveInDriver ---------------------------------------------------------
    int DeviceCount() const override { return static_cast<int>(m_names.size()); }
    std::string DeviceName(int index) const override;
    int DefaultDevice() const override { return m_nDefault; }
    MMRESULT Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                  std::unique_ptr<IWaveInStream>& stream) override;
    bool ErrorText(MMRESULT code, std::string& text) const override;

private:
    friend class CTestWaveStream;
    // The stream's own calls, under m_lock.
    void Detach(CTestWaveStream* stream);
    std::mutex& Lock() { return m_lock; }

    std::vector<IWaveInDriver*> m_previousDrivers;
    std::vector<std::string> m_names;
    std::set<int> m_refusedRates;
    bool m_bBusy = false;
    MMRESULT m_nFailCode = 0;
    std::string m_failText;
    int m_nDefault = -1;

    mutable std::mutex m_lock; // guards m_pStream and delivery
    CTestWaveStream* m_pStream = nullptr;
    std::atomic<int> m_nOpens { 0 };
    std::atomic<int> m_nLastRate { 0 };
    std::atomic<int> m_nLastDevice { -1 };
};
