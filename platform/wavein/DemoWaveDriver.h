#pragma once
// Generator devices named "Demo: ...", played in real time at 44100 or
// 48000 Hz, so the program works and every instrument shows something on a
// machine without a sound card. UI thread only.
#include "platform/wavein/WaveInDriver.h"

class CDemoWaveDriver : public IWaveInDriver {
public:
    int DeviceCount() const override;
    std::string DeviceName(int index) const override;
    MMRESULT Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                  std::unique_ptr<IWaveInStream>& stream) override;
};
