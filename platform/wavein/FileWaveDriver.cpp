#include "platform/wavein/FileWaveDriver.h"

#include "platform/wavein/FileFrameSource.h"
#include "platform/wavein/PacedWaveStream.h"
#include "platform/wavein/SoundFileReader.h"

#include <filesystem>

std::unique_ptr<CFileWaveDriver> CFileWaveDriver::Create(const std::string& path, std::string& error)
{
    CSoundFileReader probe;
    if (!probe.Open(path, error))
        return nullptr;
    return std::unique_ptr<CFileWaveDriver>(new CFileWaveDriver(path, probe.SampleRate()));
}

CFileWaveDriver::CFileWaveDriver(std::string path, int rate)
    : m_path(std::move(path))
    , m_name("File: " + std::filesystem::path(m_path).filename().string())
    , m_nRate(rate)
{
}

std::string CFileWaveDriver::DeviceName(int index) const { return index == 0 ? m_name : std::string(); }

MMRESULT CFileWaveDriver::Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                               std::unique_ptr<IWaveInStream>& stream)
{
    if (index != 0)
        return MMSYSERR_BADDEVICEID;
    if (static_cast<int>(format.nSamplesPerSec) != m_nRate) {
        m_lastError = "The input file \"" + m_path + "\" plays at " + std::to_string(m_nRate)
            + " Hz only; the program measures at 44100 Hz or 48000 Hz.";
        m_nLastErrorCode = WAVERR_BADFORMAT;
        return WAVERR_BADFORMAT;
    }
    auto reader = std::make_unique<CSoundFileReader>();
    std::string error;
    if (!reader->Open(m_path, error)) {
        m_lastError = "Cannot read the input file \"" + m_path + "\": " + error;
        m_nLastErrorCode = kFileUnreadable;
        return kFileUnreadable;
    }
    auto source = std::make_unique<CFileFrameSource>(std::move(reader));
    stream = std::make_unique<CPacedWaveStream>(std::move(source), m_nRate, notify);
    return MMSYSERR_NOERROR;
}

bool CFileWaveDriver::ErrorText(MMRESULT code, std::string& text) const
{
    if (code != m_nLastErrorCode || m_lastError.empty())
        return false;
    text = m_lastError;
    return true;
}
