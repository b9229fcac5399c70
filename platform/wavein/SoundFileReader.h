#pragma once
// Reads a sound file (any format libsndfile knows) as blocks of 16-bit
// stereo frames: a mono file is copied to both channels, a file with more
// than two channels gives its first two. The file is streamed: memory is
// one block's worth of the file's own frames, allocated at Open, so
// ReadStereo allocates nothing and may run on a pacing thread.
//
// Floating-point data keeps its true level: 1.0 is full scale, a value
// beyond it reads as full scale (a clipped sample), NaN and infinities read
// as silence (a non-finite sample). Both are counted so a report can say so.
//
// Threads: one thread at a time.
#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

class CSoundFileReader {
public:
    // Frames read from the file per chunk: each chunk is one read from the
    // disk, so offline analysis asks for many blocks' worth at once.
    static constexpr int kChunkFrames = 4096;

    CSoundFileReader() = default;
    ~CSoundFileReader();
    CSoundFileReader(const CSoundFileReader&) = delete;
    CSoundFileReader& operator=(const CSoundFileReader&) = delete;

    // Opens `path`; false with a readable reason in `error`.
    bool Open(const std::string& path, std::string& error);
    void Close();
    bool IsOpen() const { return m_pFile != nullptr; }

    int SampleRate() const { return m_nSampleRate; }
    int Channels() const { return m_nChannels; }
    long long Frames() const { return m_nFrames; }
    // True when the file's samples are floating point (read through the
    // clipping and non-finite checks below).
    bool IsFloatingPoint() const { return m_bFloat; }

    // Reads up to `frames` frames into `stereo` (interleaved, left first);
    // returns the number read, fewer only at the end of the file. With
    // `allChannels` (room for frames * Channels() values) the same frames
    // also arrive there with every channel of the file, as floats where 1.0
    // is full scale: loudness weighs every channel of a surround file.
    // Floating-point data keeps values beyond full scale there; NaN and
    // infinities read as silence.
    int ReadStereo(std::int16_t* stereo, int frames, float* allChannels = nullptr);
    // The file's channel roles as libsndfile names them (SF_CHANNEL_MAP_*),
    // one per channel; empty when the file does not say (a WAVE file
    // without a channel mask).
    std::vector<int> ChannelMap() const;
    // Back to the first frame; false when the file cannot seek.
    bool Rewind();

    // Samples of the measured channels read since Open (each lap of a
    // rewound file counts again) whose value lay beyond full scale, and
    // samples that were NaN or infinite. Always 0 for integer files.
    long long ClippedSamples() const { return m_nClipped; }
    long long NonFiniteSamples() const { return m_nNonFinite; }

private:
    int ReadIntegerChunk(std::int16_t* stereo, int want, float* allChannels);
    int ReadFloatChunk(std::int16_t* stereo, int want, float* allChannels);
    std::int16_t FloatToSample(float x);

    sf_private_tag* m_pFile = nullptr;
    int m_nSampleRate = 0;
    int m_nChannels = 0;
    long long m_nFrames = 0;
    bool m_bFloat = false;
    long long m_nClipped = 0;
    long long m_nNonFinite = 0;
    std::vector<short> m_chunk;       // kChunkFrames frames of the file's own channels (integer files)
    std::vector<float> m_floatChunk;  // the same for floating-point files
};
