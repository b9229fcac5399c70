#include "platform/wavein/PortAudioWaveDriver.h"

#include "platform/wavein/PortAudioWaveStream.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_jack.h>
#include <portaudio.h>

#include <algorithm>

namespace {

void SilentAlsa(const char*, int, const char*, int, const char*, ...) {}
void SilentJack(const char*) {}

// Keeps the ALSA library quiet for as long as it lives (its probing of
// every device prints errors that are not the user's concern).
class CQuietAlsa {
public:
    CQuietAlsa() { snd_lib_error_set_handler(&SilentAlsa); }
    ~CQuietAlsa() { snd_lib_error_set_handler(nullptr); }
};

const char* HostLabel(const PaHostApiInfo* host)
{
    if (!host)
        return "Audio";
    switch (host->type) {
    case paALSA: return "ALSA";
    case paJACK: return "JACK";
    case paOSS: return "OSS";
    default: return host->name;
    }
}

} // namespace

CPortAudioWaveDriver::CPortAudioWaveDriver()
{
    // JACK's messages (a server that is not running, for one) go nowhere.
    jack_set_error_function(&SilentJack);
    jack_set_info_function(&SilentJack);
    CQuietAlsa quiet;
    PaJack_SetClientName(kJackClientName);
    if (m_session.Initialize())
        ListDevices();
}

// The session ends PortAudio, sparing a JACK server that is gone.
CPortAudioWaveDriver::~CPortAudioWaveDriver() = default;

bool CPortAudioWaveDriver::Rescan()
{
    if (m_session.OpenStreams() > 0)
        return false;
    CQuietAlsa quiet;
    m_session.Reinitialize();
    ListDevices();
    return true;
}

void CPortAudioWaveDriver::ListDevices()
{
    m_devices.clear();
    m_nDefault = -1;
    if (!m_session.IsInitialized())
        return;
    const PaDeviceIndex defaultInput = Pa_GetDefaultInputDevice();
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info || info->maxInputChannels < 1)
            continue;
        if (i == defaultInput)
            m_nDefault = static_cast<int>(m_devices.size());
        const std::string name = std::string(HostLabel(Pa_GetHostApiInfo(info->hostApi))) + ": " + info->name;
        m_devices.push_back({ i, name, std::min(info->maxInputChannels, 2), info->defaultHighInputLatency });
    }
}

std::string CPortAudioWaveDriver::DeviceName(int index) const
{
    return index >= 0 && index < DeviceCount() ? m_devices[static_cast<std::size_t>(index)].name : std::string();
}

MMRESULT CPortAudioWaveDriver::ToResult(int paError)
{
    switch (paError) {
    case paNoError: return MMSYSERR_NOERROR;
    case paInvalidSampleRate: return WAVERR_BADFORMAT;
    case paDeviceUnavailable: return MMSYSERR_ALLOCATED;
    default: return paError;
    }
}

MMRESULT CPortAudioWaveDriver::Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                                    std::unique_ptr<IWaveInStream>& stream)
{
    if (index < 0 || index >= DeviceCount())
        return MMSYSERR_BADDEVICEID;
    const Device& device = m_devices[static_cast<std::size_t>(index)];
    PaStreamParameters input {};
    input.device = device.paIndex;
    input.channelCount = device.channels;
    input.sampleFormat = paInt16;
    input.suggestedLatency = device.latency;
    input.hostApiSpecificStreamInfo = nullptr;

    CQuietAlsa quiet;
    auto opened = std::make_unique<CPortAudioWaveStream>(notify, device.channels, m_session);
    const PaError error = opened->OpenStream(input, static_cast<double>(format.nSamplesPerSec));
    if (error != paNoError) {
        if (error == paUnanticipatedHostError) {
            const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
            m_hostErrorText = host && host->errorText ? host->errorText : "";
        }
        return ToResult(error);
    }
    stream = std::move(opened);
    return MMSYSERR_NOERROR;
}

bool CPortAudioWaveDriver::ErrorText(MMRESULT code, std::string& text) const
{
    // PortAudio's codes are negative, apart from the two mapped ones.
    if (code >= 0)
        return false;
    text = Pa_GetErrorText(code);
    if (code == paUnanticipatedHostError && !m_hostErrorText.empty())
        text += ": " + m_hostErrorText;
    return true;
}
