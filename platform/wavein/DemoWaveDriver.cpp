#include "platform/wavein/DemoWaveDriver.h"

#include "platform/wavein/DemoSignal.h"
#include "platform/wavein/PacedWaveStream.h"

int CDemoWaveDriver::DeviceCount() const { return CDemoSignal::kKinds; }

std::string CDemoWaveDriver::DeviceName(int index) const
{
    if (index < 0 || index >= DeviceCount())
        return {};
    return CDemoSignal::DeviceName(static_cast<CDemoSignal::Kind>(index));
}

MMRESULT CDemoWaveDriver::Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                               std::unique_ptr<IWaveInStream>& stream)
{
    if (index < 0 || index >= DeviceCount())
        return MMSYSERR_BADDEVICEID;
    const int rate = static_cast<int>(format.nSamplesPerSec);
    if (rate != WaveIn::kRate44100 && rate != WaveIn::kRate48000)
        return WAVERR_BADFORMAT;
    auto signal = std::make_unique<CDemoSignal>(static_cast<CDemoSignal::Kind>(index), rate);
    stream = std::make_unique<CPacedWaveStream>(std::move(signal), rate, notify);
    return MMSYSERR_NOERROR;
}
