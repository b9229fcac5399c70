#include "platform/wavein/SoundFileReader.h"

#include <sndfile.h>

#include <algorithm>

CSoundFileReader::~CSoundFileReader() { Close(); }

bool CSoundFileReader::Open(const std::string& path, std::string& error)
{
    Close();
    SF_INFO info {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        error = "The file holds no audio channels.";
        return false;
    }
    // Floating-point files are read with their full scale mapped to 16 bits.
    sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    m_pFile = file;
    m_nSampleRate = info.samplerate;
    m_nChannels = info.channels;
    m_nFrames = info.frames;
    m_chunk.assign(static_cast<std::size_t>(kChunkFrames) * static_cast<std::size_t>(m_nChannels), 0);
    return true;
}

void CSoundFileReader::Close()
{
    if (m_pFile)
        sf_close(m_pFile);
    m_pFile = nullptr;
}

int CSoundFileReader::ReadStereo(std::int16_t* stereo, int frames)
{
    if (!m_pFile)
        return 0;
    int done = 0;
    while (done < frames) {
        const int want = std::min(kChunkFrames, frames - done);
        const auto got = static_cast<int>(sf_readf_short(m_pFile, m_chunk.data(), want));
        for (int i = 0; i < got; ++i) {
            const short* frame = m_chunk.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(m_nChannels);
            stereo[2 * (done + i)] = frame[0];
            stereo[2 * (done + i) + 1] = m_nChannels > 1 ? frame[1] : frame[0];
        }
        done += got;
        if (got < want)
            break;
    }
    return done;
}

bool CSoundFileReader::Rewind() { return m_pFile && sf_seek(m_pFile, 0, SEEK_SET) == 0; }
