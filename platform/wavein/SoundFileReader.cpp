#include "platform/wavein/SoundFileReader.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace {
// Encodings whose decoded samples are floating point. Converting them to
// 16 bits is ours to do: libsndfile's own conversion wraps values beyond
// full scale and leaves NaN undefined.
bool IsFloatEncoding(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
        return true;
    default:
        return false;
    }
}

// 1.0 maps to 32768, the scale libsndfile uses between 16-bit and float
// data, so a 16-bit file stored as float reads back sample for sample and
// both +1.0 and -1.0 reach full scale.
constexpr float kFullScale = 32768.0f;
}

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
    m_pFile = file;
    m_nSampleRate = info.samplerate;
    m_nChannels = info.channels;
    m_nFrames = info.frames;
    m_bFloat = IsFloatEncoding(info.format);
    m_nClipped = 0;
    m_nNonFinite = 0;
    const auto chunkSamples = static_cast<std::size_t>(kChunkFrames) * static_cast<std::size_t>(m_nChannels);
    if (m_bFloat) {
        m_floatChunk.assign(chunkSamples, 0.0f);
        m_chunk.clear();
    } else {
        m_chunk.assign(chunkSamples, 0);
        m_floatChunk.clear();
    }
    return true;
}

void CSoundFileReader::Close()
{
    if (m_pFile)
        sf_close(m_pFile);
    m_pFile = nullptr;
}

int CSoundFileReader::ReadStereo(std::int16_t* stereo, int frames, float* allChannels)
{
    if (!m_pFile)
        return 0;
    int done = 0;
    while (done < frames) {
        const int want = std::min(kChunkFrames, frames - done);
        std::int16_t* out = stereo + 2 * static_cast<std::ptrdiff_t>(done);
        float* all = allChannels ? allChannels + static_cast<std::ptrdiff_t>(done) * m_nChannels : nullptr;
        const int got = m_bFloat ? ReadFloatChunk(out, want, all) : ReadIntegerChunk(out, want, all);
        done += got;
        if (got < want)
            break;
    }
    return done;
}

int CSoundFileReader::ReadIntegerChunk(std::int16_t* stereo, int want, float* allChannels)
{
    const auto got = static_cast<int>(sf_readf_short(m_pFile, m_chunk.data(), want));
    if (allChannels) {
        const std::size_t samples = static_cast<std::size_t>(got) * static_cast<std::size_t>(m_nChannels);
        for (std::size_t i = 0; i < samples; ++i)
            allChannels[i] = static_cast<float>(m_chunk[i]) / kFullScale;
    }
    if (m_nChannels == 2) { // the file's frames are the stereo frames
        std::copy(m_chunk.begin(), m_chunk.begin() + 2 * static_cast<std::ptrdiff_t>(got), stereo);
        return got;
    }
    for (int i = 0; i < got; ++i) {
        const short* frame = m_chunk.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(m_nChannels);
        stereo[2 * i] = frame[0];
        stereo[2 * i + 1] = m_nChannels > 1 ? frame[1] : frame[0];
    }
    return got;
}

int CSoundFileReader::ReadFloatChunk(std::int16_t* stereo, int want, float* allChannels)
{
    const auto got = static_cast<int>(sf_readf_float(m_pFile, m_floatChunk.data(), want));
    if (allChannels) {
        const std::size_t samples = static_cast<std::size_t>(got) * static_cast<std::size_t>(m_nChannels);
        for (std::size_t i = 0; i < samples; ++i)
            allChannels[i] = std::isfinite(m_floatChunk[i]) ? m_floatChunk[i] : 0.0f;
    }
    for (int i = 0; i < got; ++i) {
        const float* frame = m_floatChunk.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(m_nChannels);
        stereo[2 * i] = FloatToSample(frame[0]);
        // A mono file's one sample is checked (and counted) once.
        stereo[2 * i + 1] = m_nChannels > 1 ? FloatToSample(frame[1]) : stereo[2 * i];
    }
    return got;
}

std::int16_t CSoundFileReader::FloatToSample(float x)
{
    if (!std::isfinite(x)) {
        ++m_nNonFinite;
        return 0;
    }
    if (x > 1.0f || x < -1.0f)
        ++m_nClipped;
    const float scaled = std::nearbyint(std::clamp(x, -1.0f, 1.0f) * kFullScale);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

std::vector<int> CSoundFileReader::ChannelMap() const
{
    std::vector<int> map(static_cast<std::size_t>(m_nChannels), SF_CHANNEL_MAP_INVALID);
    if (!m_pFile || map.empty()
        || sf_command(m_pFile, SFC_GET_CHANNEL_MAP_INFO, map.data(), static_cast<int>(map.size() * sizeof(int))) != SF_TRUE)
        return {};
    return map;
}

bool CSoundFileReader::Rewind() { return m_pFile && sf_seek(m_pFile, 0, SEEK_SET) == 0; }
