#pragma once
// The system's real input devices through PortAudio: ALSA devices (PipeWire
// and PulseAudio through their ALSA plugins) and, while a JACK server runs,
// its clients, named "ALSA: ..." and "JACK: ...". PortAudio's JACK client is
// called "Lumetra". The ALSA and JACK libraries' own error printing is
// silenced while devices are listed and opened.
//
// Threads: UI thread only (streams follow IWaveInStream).
#include "platform/wavein/PortAudioSession.h"
#include "platform/wavein/WaveInDriver.h"

#include <string>
#include <vector>

class CPortAudioWaveDriver : public IWaveInDriver {
public:
    static constexpr const char* kJackClientName = "Lumetra";

    // Initialises PortAudio and lists its input devices.
    CPortAudioWaveDriver();
    ~CPortAudioWaveDriver() override;
    CPortAudioWaveDriver(const CPortAudioWaveDriver&) = delete;
    CPortAudioWaveDriver& operator=(const CPortAudioWaveDriver&) = delete;

    bool IsInitialized() const { return m_session.IsInitialized(); }

    int DeviceCount() const override { return static_cast<int>(m_devices.size()); }
    std::string DeviceName(int index) const override;
    int DefaultDevice() const override { return m_nDefault; }
    // Re-initialises PortAudio (so a JACK server that was restarted is found
    // again) when no stream is open.
    bool Rescan() override;
    MMRESULT Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                  std::unique_ptr<IWaveInStream>& stream) override;
    bool ErrorText(MMRESULT code, std::string& text) const override;

    // Result codes: PortAudio's unsupported rate and busy device become the
    // wave-input codes 32 and 4; every other error keeps PortAudio's code.
    static MMRESULT ToResult(int paError);

private:
    struct Device {
        int paIndex;
        std::string name;
        int channels; // 1 or 2: what the stream opens with
        double latency;
    };
    void ListDevices();

    CPortAudioSession m_session;
    std::vector<Device> m_devices;
    int m_nDefault = -1;
    // The host's own message behind PortAudio's last "unanticipated host error".
    std::string m_hostErrorText;
};
