#pragma once
// One device that plays a sound file in real time, looping, as 16-bit
// stereo, named "File: <file name>". Only the file's own sample rate is
// offered; another rate is refused as an unsupported format (32).
// UI thread only.
#include "platform/wavein/WaveInDriver.h"

#include <memory>
#include <string>

class CFileWaveDriver : public IWaveInDriver {
public:
    // The driver for `path`, or nullptr with the reason in `error` when the
    // file is missing or unreadable.
    static std::unique_ptr<CFileWaveDriver> Create(const std::string& path, std::string& error);

    const std::string& Path() const { return m_path; }
    int FileRate() const { return m_nRate; }

    int DeviceCount() const override { return 1; }
    std::string DeviceName(int index) const override;
    MMRESULT Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                  std::unique_ptr<IWaveInStream>& stream) override;
    bool ErrorText(MMRESULT code, std::string& text) const override;

    // The file could not be opened again when the device was.
    static constexpr MMRESULT kFileUnreadable = 2001;

private:
    CFileWaveDriver(std::string path, int rate);

    std::string m_path;
    std::string m_name;
    int m_nRate;
    // The text of this driver's last refusal.
    std::string m_lastError;
    MMRESULT m_nLastErrorCode = MMSYSERR_NOERROR;
};
