// Sound files as 16-bit stereo blocks, and the file device built on them.
// The files are written here byte by byte, so values beyond full scale, NaN
// and infinity reach the reader exactly as stored.
#include "meters/ppm/PpmLevelTable.h"
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/FileFrameSource.h"
#include "platform/wavein/FileWaveDriver.h"
#include "platform/wavein/SoundFileReader.h"
#include "tests/platform/StereoFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

// A WAVE file of interleaved samples as this (little-endian) machine holds
// them: IEEE float (format 3, with its fact chunk) or 16-bit PCM (format 1).
template <typename Sample> void WriteWave(const std::string& path, int rate, int channels, const std::vector<Sample>& samples)
{
    constexpr bool isFloat = std::is_floating_point_v<Sample>;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * sizeof(Sample));
    const auto frameBytes = static_cast<unsigned>(sizeof(Sample)) * static_cast<unsigned>(channels);
    std::string b = "RIFF";
    const auto u16 = [&b](unsigned v) { b += static_cast<char>(v & 0xFF), b += static_cast<char>(v >> 8); };
    const auto u32 = [&u16](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u32(4 + 26 + (isFloat ? 12 : 0) + 8 + dataBytes);
    b += "WAVEfmt ";
    u32(18), u16(isFloat ? 3 : 1), u16(static_cast<unsigned>(channels)), u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate) * frameBytes), u16(frameBytes), u16(8 * sizeof(Sample)), u16(0);
    if (isFloat)
        b += "fact", u32(4), u32(static_cast<std::uint32_t>(samples.size()) / static_cast<unsigned>(channels));
    b += "data", u32(dataBytes);
    b.append(reinterpret_cast<const char*>(samples.data()), dataBytes);
    std::ofstream(path, std::ios::binary) << b;
}

// Interleaved sines, one frequency per channel, at `dbfs` (a float file's
// amplitude, or rounded 16-bit steps). At 48 kHz sample 12 of each 1 kHz
// period is the crest, so the peak sample is the amplitude itself.
template <typename Sample> std::vector<Sample> Sines(int rate, int frames, std::vector<double> hz, std::vector<double> dbfs)
{
    std::vector<Sample> s;
    for (int n = 0; n < frames; ++n) {
        for (std::size_t c = 0; c < hz.size(); ++c) {
            const double x = std::pow(10.0, dbfs[c] / 20.0) * std::sin(2 * std::numbers::pi * hz[c] * n / rate);
            s.push_back(std::is_floating_point_v<Sample> ? static_cast<Sample>(x) : static_cast<Sample>(std::lround(32767 * x)));
        }
    }
    return s;
}

Samples ReadStereo(CSoundFileReader& reader, int frames)
{
    Samples block(2 * static_cast<std::size_t>(frames));
    block.resize(2 * static_cast<std::size_t>(reader.ReadStereo(block.data(), frames)));
    return block;
}

TEST(SoundFileLevel, FloatFilesReadAtTheirTrueLevelAndCountWhatWasMended)
{
    std::vector<float> withInf = Sines<float>(48000, 4800, { 1000, 1000 }, { -20, -20 });
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
    const struct {
        const char* name;
        int channels;
        std::vector<float> samples;
        double leftDb, rightDb; // the meter's reading
        long long clipped, nonFinite;
    } cases[] = {
        { "tones.wav", 2, Sines<float>(48000, 4800, { 1000, 1000 }, { -20, -6 }), -20.0, -6.0, 0, 0 },
        { "hot.wav", 2, Sines<float>(48000, 4800, { 1000, 1000 }, { 6, -6 }), 0.0, -6.0, 100L * 30, 0 },
        { "inf.wav", 2, withInf, -20.0, -20.0, 0, 2 },
        { "full.wav", 2, fullScale, 0.0, 0.0, 0, 0 },
        { "mono.wav", 1, mono, 0.0, 0.0, 1, 1 },
    };
    const CPpmLevelTable table;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWave(c.name, 48000, c.channels, c.samples);
        CSoundFileReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(c.name, error)) << error;
        unsigned peak[2] = { 0, 0 }; // folded magnitudes
        for (Samples block; !(block = ReadStereo(reader, 512)).empty();) {
            for (int ch = 0; ch < 2; ++ch)
                peak[ch] = std::max(peak[ch], CPpmLevelTable::BlockPeak(block.data(), static_cast<int>(block.size() / 2), ch));
        }
        EXPECT_DOUBLE_EQ(CPpmLevelTable::DbTable()[table.Step(peak[0])], c.leftDb);
        EXPECT_DOUBLE_EQ(CPpmLevelTable::DbTable()[table.Step(peak[1])], c.rightDb);
        EXPECT_EQ(std::make_pair(reader.ClippedSamples(), reader.NonFiniteSamples()), std::make_pair(c.clipped, c.nonFinite));
    }
}

// A mono file plays on both channels; of three channels the first two are
// read, across the reader's 4096-frame chunks; a single least step in 16 bits is kept.
TEST(SoundFileReader, FilesGiveTheirFirstTwoChannelsOrTheirOneOnBoth)
{
    Samples oneStep(2 * 1000, 0);
    oneStep[2 * 500] = 1;
    WriteWave("tone.wav", 44100, 1, Sines<std::int16_t>(44100, 44100, { 1000 }, { -6 }));
    WriteWave("three.wav", 48000, 3, Sines<std::int16_t>(48000, 4800, { 1000, 3000, 6000 }, { -6, -6, -6 }));
    WriteWave("one.wav", 48000, 2, oneStep);
    const struct {
        const char* file;
        int rate, channels, frames;
        Samples expected; // the first 4500 frames
    } cases[] = { { "tone.wav", 44100, 1, 44100, Sines<std::int16_t>(44100, 4500, { 1000, 1000 }, { -6, -6 }) },
        { "three.wav", 48000, 3, 4800, Sines<std::int16_t>(48000, 4500, { 1000, 3000 }, { -6, -6 }) },
        { "one.wav", 48000, 2, 1000, oneStep } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CSoundFileReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(c.file, error)) << error;
        EXPECT_EQ((std::vector<long long> { reader.SampleRate(), reader.Channels(), reader.Frames() }),
                  (std::vector<long long> { c.rate, c.channels, c.frames }));
        EXPECT_EQ(ReadStereo(reader, 4500), c.expected);
        EXPECT_EQ(reader.ClippedSamples(), 0);
    }
}

// 100 frames: reading stops there; the file source loops seamlessly.
TEST(SoundFileReader, ReadingStopsAtTheEndRewindStartsOverAndTheSourceLoops)
{
    WriteWave("short.wav", 8000, 2, Sines<std::int16_t>(8000, 100, { 1000, 1000 }, { -6, -6 }));
    auto reader = std::make_unique<CSoundFileReader>();
    std::string error;
    ASSERT_TRUE(reader->Open("short.wav", error)) << error;
    EXPECT_EQ(ReadStereo(*reader, 512).size(), 200u);
    EXPECT_TRUE(ReadStereo(*reader, 512).empty());
    ASSERT_TRUE(reader->Rewind());
    CFileFrameSource source(std::move(reader));
    Samples block(2 * 512);
    source.Render(block.data(), 512);
    for (std::size_t n = 0; n < 412; ++n)
        ASSERT_EQ(block[2 * (100 + n)], block[2 * (n % 100)]) << n;
    EXPECT_EQ(block[4], 16422); // 1 kHz at 8 kHz: frame 2 is the crest, -6 dBFS
}

// The device plays the file at its own rate only, and says so; a missing or
// text file gives a reason and no driver.
TEST(SoundFileReader, FileDeviceRefusesOtherRatesNamingItsOwnAndNeedsASoundFile)
{
    WriteWave("device.wav", 44100, 1, Samples(1000, 0));
    std::string error;
    auto driver = CFileWaveDriver::Create("device.wav", error);
    ASSERT_NE(driver, nullptr) << error;
    CThreadMessageQueue notify(64);
    std::unique_ptr<IWaveInStream> stream;
    EXPECT_EQ(driver->Open(0, StereoFormat(48000), notify, stream), WAVERR_BADFORMAT);
    std::string text;
    EXPECT_TRUE(driver->ErrorText(WAVERR_BADFORMAT, text) && text.find("44100") != std::string::npos) << text;
    std::ofstream("notes.txt") << "not a sound file\n";
    for (const char* path : { "no-such-file.wav", "notes.txt" }) {
        CSoundFileReader reader;
        EXPECT_FALSE(reader.Open(path, error)) << path;
        EXPECT_TRUE(ReadStereo(reader, 16).empty()) << path; // nothing to read, not garbage
        error.clear();
        EXPECT_TRUE(CFileWaveDriver::Create(path, error) == nullptr && !error.empty()) << path;
    }
}

} // namespace
