#include "platform/wavein/WaveIn.h"

#include <algorithm>

CWaveIn& CWaveIn::Instance()
{
    static CWaveIn s_waveIn;
    return s_waveIn;
}

void CWaveIn::AddDriver(std::unique_ptr<IWaveInDriver> driver)
{
    m_active.push_back(driver.get());
    m_owned.push_back(std::move(driver));
}

std::vector<IWaveInDriver*> CWaveIn::ReplaceDrivers(std::vector<IWaveInDriver*> drivers)
{
    std::swap(m_active, drivers);
    return drivers;
}

void CWaveIn::ClearDrivers()
{
    m_pLastFailed = nullptr;
    m_active.clear();
    m_owned.clear();
}

int CWaveIn::DeviceCount() const
{
    int count = 0;
    for (const IWaveInDriver* driver : m_active)
        count += driver->DeviceCount();
    return count;
}

IWaveInDriver* CWaveIn::Locate(int id, int& index) const
{
    if (id < 0)
        return nullptr;
    for (IWaveInDriver* driver : m_active) {
        const int count = driver->DeviceCount();
        if (id < count) {
            index = id;
            return driver;
        }
        id -= count;
    }
    return nullptr;
}

std::string CWaveIn::DeviceName(int id) const
{
    int index = 0;
    const IWaveInDriver* driver = Locate(id, index);
    return driver ? driver->DeviceName(index) : std::string();
}

int CWaveIn::DefaultDevice() const
{
    int first = 0;
    for (const IWaveInDriver* driver : m_active) {
        const int index = driver->DefaultDevice();
        if (index >= 0 && index < driver->DeviceCount())
            return first + index;
        first += driver->DeviceCount();
    }
    return first > 0 ? 0 : -1;
}

bool CWaveIn::Rescan()
{
    bool changed = false;
    for (IWaveInDriver* driver : m_active)
        changed = driver->Rescan() || changed;
    return changed;
}

MMRESULT CWaveIn::Open(HWAVEIN& handle, int id, const WAVEFORMATEX& format, CThreadMessageQueue& notify)
{
    handle = nullptr;
    if (id == WAVE_MAPPER)
        id = DefaultDevice();
    int index = 0;
    IWaveInDriver* driver = Locate(id, index);
    if (!driver)
        return DeviceCount() == 0 ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels != 2 || format.wBitsPerSample != 16
        || format.nBlockAlign != 4)
        return WAVERR_BADFORMAT;
    std::unique_ptr<IWaveInStream> stream;
    const MMRESULT result = driver->Open(index, format, notify, stream);
    if (result == MMSYSERR_NOERROR)
        handle = stream.release();
    else
        m_pLastFailed = driver;
    return result;
}

std::string CWaveIn::ErrorText(MMRESULT code) const
{
    std::string text;
    const bool lastFailedActive = std::find(m_active.begin(), m_active.end(), m_pLastFailed) != m_active.end();
    if (lastFailedActive && m_pLastFailed->ErrorText(code, text))
        return text;
    for (const IWaveInDriver* driver : m_active) {
        if (driver->ErrorText(code, text))
            return text;
    }
    switch (code) {
    case MMSYSERR_NOERROR: return "The command was successful.";
    case MMSYSERR_ERROR: return "An unknown error occurred in the audio device.";
    case MMSYSERR_BADDEVICEID: return "The audio device ID is out of range.";
    case MMSYSERR_ALLOCATED: return "The audio device is already in use by another application.";
    case MMSYSERR_INVALHANDLE: return "The audio device handle is not valid.";
    case MMSYSERR_NODRIVER: return "There is no audio input device.";
    case MMSYSERR_NOMEM: return "There is not enough memory for the audio device.";
    case MMSYSERR_INVALPARAM: return "An invalid parameter was passed to the audio device.";
    case WAVERR_BADFORMAT: return "The audio device does not support the requested sample format or rate.";
    case WAVERR_STILLPLAYING: return "Buffers are still queued on the audio device.";
    case WAVERR_UNPREPARED: return "The audio buffer was not prepared.";
    default: break;
    }
    return "Unknown audio device error " + std::to_string(code) + ".";
}

// ---- the classic calls ------------------------------------------------------

unsigned waveInGetNumDevs() { return static_cast<unsigned>(CWaveIn::Instance().DeviceCount()); }

MMRESULT waveInGetDevName(int id, std::string& name)
{
    if (id < 0 || id >= CWaveIn::Instance().DeviceCount())
        return MMSYSERR_BADDEVICEID;
    name = CWaveIn::Instance().DeviceName(id);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInOpen(HWAVEIN* handle, int id, const WAVEFORMATEX* format, CThreadMessageQueue& notify)
{
    if (!handle || !format)
        return MMSYSERR_INVALPARAM;
    return CWaveIn::Instance().Open(*handle, id, *format, notify);
}

MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header)
{
    if (!handle)
        return MMSYSERR_INVALHANDLE;
    if (!header || !header->lpData)
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header)
{
    if (!header)
        return MMSYSERR_INVALPARAM;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    (void)handle; // a header returned by a closed device may still be unprepared
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header)
{
    return handle ? handle->AddBuffer(header) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInStart(HWAVEIN handle) { return handle ? handle->Start() : MMSYSERR_INVALHANDLE; }

MMRESULT waveInStop(HWAVEIN handle) { return handle ? handle->Stop() : MMSYSERR_INVALHANDLE; }

MMRESULT waveInReset(HWAVEIN handle) { return handle ? handle->Reset() : MMSYSERR_INVALHANDLE; }

MMRESULT waveInClose(HWAVEIN handle)
{
    if (!handle)
        return MMSYSERR_INVALHANDLE;
    const MMRESULT result = handle->Close();
    if (result == MMSYSERR_NOERROR)
        delete handle;
    return result;
}

std::string waveInGetErrorText(MMRESULT code) { return CWaveIn::Instance().ErrorText(code); }
