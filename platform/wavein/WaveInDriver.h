#pragma once
// A source of input devices behind the wave-input facade (CWaveIn): the
// PortAudio devices, the demo generators, a sound file, the test driver.
// UI thread only, except where a driver says otherwise.
#include "platform/wavein/WaveInDefs.h"
#include "platform/wavein/WaveInStream.h"

#include <memory>
#include <string>

class CThreadMessageQueue;

class IWaveInDriver {
public:
    virtual ~IWaveInDriver() = default;

    // Devices of this driver, in the order their ids follow.
    virtual int DeviceCount() const = 0;
    virtual std::string DeviceName(int index) const = 0;
    // The driver's default input device, or -1 when it has none.
    virtual int DefaultDevice() const { return -1; }
    // Lists the devices again (ones plugged in or servers started since);
    // only while none of this driver's streams is open. True when the list
    // may have changed.
    virtual bool Rescan() { return false; }

    // Opens device `index` for `format`, notices to `notify`. On success
    // `stream` holds the open stream, its open notice already posted.
    virtual MMRESULT Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                          std::unique_ptr<IWaveInStream>& stream) = 0;
    // The text of one of this driver's own result codes; false when the code
    // is not the driver's.
    virtual bool ErrorText(MMRESULT code, std::string& text) const
    {
        (void)code;
        (void)text;
        return false;
    }
};
