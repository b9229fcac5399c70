// Float and 16-bit files read at their true level. The files are written
// here byte by byte, so values beyond full scale, NaN and infinity reach the
// reader exactly as stored.
#include "meters/ppm/PpmLevelTable.h"
#include "platform/wavein/SoundFileReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <numbers>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr int kFrames = 4800;

// A WAVE file of interleaved samples as this (little-endian) machine holds
// them: IEEE float (format 3, with its fact chunk) or 16-bit PCM (format 1).
template <typename Sample> void WriteWave(const std::string& path, int channels, const std::vector<Sample>& samples)
{
    constexpr bool isFloat = std::is_floating_point_v<Sample>;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * sizeof(Sample));
    const auto frameBytes = static_cast<unsigned>(sizeof(Sample)) * static_cast<unsigned>(channels);
    std::string b;
    const auto u16 = [&b](unsigned v) { b += static_cast<char>(v & 0xFF), b += static_cast<char>(v >> 8); };
    const auto u32 = [&u16](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    b += "RIFF";
    u32(4 + 26 + (isFloat ? 12 : 0) + 8 + dataBytes);
    b += "WAVEfmt ";
    u32(18);
    u16(isFloat ? 3 : 1);
    u16(static_cast<unsigned>(channels));
    u32(kRate);
    u32(kRate * frameBytes);
    u16(frameBytes);
    u16(8 * sizeof(Sample));
    u16(0);
    if (isFloat) {
        b += "fact";
        u32(4);
        u32(static_cast<std::uint32_t>(samples.size()) / static_cast<unsigned>(channels));
    }
    b += "data";
    u32(dataBytes);
    b.append(reinterpret_cast<const char*>(samples.data()), dataBytes);
    std::ofstream(path, std::ios::binary) << b;
}

// 1 kHz at 48 kHz: sample 12 of each period is the crest, so the peak
// sample is the amplitude itself.
float Tone(double dbfs, int n)
{
    return static_cast<float>(std::pow(10.0, dbfs / 20.0) * std::sin(2 * std::numbers::pi * 1000.0 * n / kRate));
}

std::vector<float> StereoTones(double leftDb, double rightDb)
{
    std::vector<float> s;
    for (int n = 0; n < kFrames; ++n) {
        s.push_back(Tone(leftDb, n));
        s.push_back(Tone(rightDb, n));
    }
    return s;
}

struct FileReading {
    unsigned peak[2] = { 0, 0 }; // folded magnitudes
    long long clipped = 0;
    long long nonFinite = 0;
};

FileReading ReadAll(const std::string& path)
{
    FileReading r;
    CSoundFileReader reader;
    std::string error;
    EXPECT_TRUE(reader.Open(path, error)) << error;
    std::vector<std::int16_t> block(2 * 512);
    int got;
    while ((got = reader.ReadStereo(block.data(), 512)) > 0) {
        for (int ch = 0; ch < 2; ++ch)
            r.peak[ch] = std::max(r.peak[ch], CPpmLevelTable::BlockPeak(block.data(), got, ch));
    }
    r.clipped = reader.ClippedSamples();
    r.nonFinite = reader.NonFiniteSamples();
    return r;
}

double MeterDb(unsigned magnitude)
{
    static const CPpmLevelTable table;
    return CPpmLevelTable::DbTable()[table.Step(magnitude)];
}

struct FloatCase {
    const char* name;
    int channels;
    std::vector<float> samples;
    double leftDb, rightDb;     // the meter's reading
    long long clipped, nonFinite;
};

TEST(SoundFileLevel, FloatFilesReadAtTheirTrueLevelAndCountWhatWasMended)
{
    std::vector<float> withInf = StereoTones(-20, -20);
    withInf[2 * 100] = std::numeric_limits<float>::infinity();
    withInf[2 * 200 + 1] = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> fullScale(2 * 512, 0.0f); // exactly 1.0 and -1.0 are not beyond full scale
    fullScale[10] = 1.0f;
    fullScale[21] = -1.0f;
    std::vector<float> mono(512, 0.25f); // each file sample counted once
    mono[3] = 3.0f;
    mono[4] = -std::numeric_limits<float>::infinity();
    // +6 dBFS on the left (amplitude 1.995): a sample is beyond 1.0 where
    // |sin| > 0.501, which of the 48 samples of a period (7.5 degrees
    // apart) are the 15 from 37.5 to 142.5 degrees and their 15 mirrors.
    const FloatCase cases[] = {
        { "tones.wav", 2, StereoTones(-20, -6), -20.0, -6.0, 0, 0 },
        { "quiet.wav", 2, StereoTones(-40, -60), -40.0, -60.0, 0, 0 },
        { "hot.wav", 2, StereoTones(6, -6), 0.0, -6.0, 100L * 30, 0 },
        { "inf.wav", 2, withInf, -20.0, -20.0, 0, 2 },
        { "full.wav", 2, fullScale, 0.0, 0.0, 0, 0 },
        { "mono.wav", 1, mono, 0.0, 0.0, 1, 1 },
    };
    for (const FloatCase& c : cases) {
        WriteWave(c.name, c.channels, c.samples);
        const FileReading r = ReadAll(c.name);
        EXPECT_DOUBLE_EQ(MeterDb(r.peak[0]), c.leftDb) << c.name;
        EXPECT_DOUBLE_EQ(MeterDb(r.peak[1]), c.rightDb) << c.name;
        EXPECT_EQ(r.clipped, c.clipped) << c.name;
        EXPECT_EQ(r.nonFinite, c.nonFinite) << c.name;
    }
}

TEST(SoundFileLevel, ASingleLeastStepIn16BitsIsKept)
{
    std::vector<std::int16_t> data(2 * 1000, 0);
    data[2 * 500] = 1; // left sample of frame 500 is +1
    WriteWave("one.wav", 2, data);
    CSoundFileReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open("one.wav", error)) << error;
    std::vector<std::int16_t> block(2 * 1000);
    ASSERT_EQ(reader.ReadStereo(block.data(), 1000), 1000);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(block[static_cast<std::size_t>(i)], i == 1000 ? 1 : 0) << i;
    EXPECT_EQ(reader.ClippedSamples(), 0);
}

} // namespace
