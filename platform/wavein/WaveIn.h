#pragma once
// The wave-input facade: one device list made of the active drivers'
// devices, in driver order; a device id indexes that list and WAVE_MAPPER
// (-1) selects the default device (the first driver's default input if any
// driver has one, else device 0). The waveIn* functions below mirror the
// classic wave-input calls the capture engine is written against.
//
// Threads: registering drivers, listing devices and opening happen on the UI
// thread. The calls on an open handle follow IWaveInStream's contract.
#include "platform/wavein/WaveInDriver.h"
#include "platform/wavein/WaveInStream.h"

#include <memory>
#include <string>
#include <vector>

class CThreadMessageQueue;

class CWaveIn {
public:
    static CWaveIn& Instance();

    // Adds a driver the facade owns, after the ones already active.
    void AddDriver(std::unique_ptr<IWaveInDriver> driver);
    // Replaces the active list with drivers the caller owns; returns the
    // list that was active, to be put back later. Owned drivers stay alive.
    std::vector<IWaveInDriver*> ReplaceDrivers(std::vector<IWaveInDriver*> drivers);
    // Removes every driver, owned ones included.
    void ClearDrivers();
    const std::vector<IWaveInDriver*>& Drivers() const { return m_active; }

    int DeviceCount() const;
    std::string DeviceName(int id) const;
    // The id WAVE_MAPPER stands for, or -1 when there is no device.
    int DefaultDevice() const;
    // Asks every driver to list its devices again; true when any list may
    // have changed. Only while no device is open.
    bool Rescan();

    MMRESULT Open(HWAVEIN& handle, int id, const WAVEFORMATEX& format, CThreadMessageQueue& notify);
    // The text of a result code: the driver whose open failed last is asked
    // first, then the others, then the common texts.
    std::string ErrorText(MMRESULT code) const;

private:
    // Finds the driver of device `id` and the index within it.
    IWaveInDriver* Locate(int id, int& index) const;

    std::vector<IWaveInDriver*> m_active;
    // The driver whose open failed last: its texts come first.
    IWaveInDriver* m_pLastFailed = nullptr;
    std::vector<std::unique_ptr<IWaveInDriver>> m_owned;
};

// ---- the classic calls ------------------------------------------------------

unsigned waveInGetNumDevs();
// The device's product name; MMSYSERR_BADDEVICEID for an unknown id.
MMRESULT waveInGetDevName(int id, std::string& name);
// Opens device `id` (or WAVE_MAPPER) with notices posted to `notify`.
MMRESULT waveInOpen(HWAVEIN* handle, int id, const WAVEFORMATEX* format, CThreadMessageQueue& notify);
MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header);
MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header);
MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header);
MMRESULT waveInStart(HWAVEIN handle);
MMRESULT waveInStop(HWAVEIN handle);
MMRESULT waveInReset(HWAVEIN handle);
// Closes and frees the handle; on failure the handle stays valid.
MMRESULT waveInClose(HWAVEIN handle);
std::string waveInGetErrorText(MMRESULT code);
