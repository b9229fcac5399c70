// Sound files as 16-bit stereo blocks, and the file device built on them.
// The files are made with sox in the test program's private folder.
#include "platform/Notices.h"
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/AudioDrivers.h"
#include "platform/wavein/FileFrameSource.h"
#include "platform/wavein/FileWaveDriver.h"
#include "platform/wavein/SoundFileReader.h"
#include "platform/wavein/WaveIn.h"
#include "tests/platform/StereoFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace {

// sox dithers when it writes 16 bits; a sample may sit a step or two off
// the ideal value.
constexpr int kDitherSteps = 3;

// `format` describes the generated signal (rate, channels), so sox
// synthesises at the file's own rate instead of resampling.
bool MakeFile(const std::string& format, const std::string& rest)
{
    return std::system(("sox " + format + " -n -b 16 " + rest + " 2>/dev/null").c_str()) == 0;
}

int Ideal(double amplitude, double hz, int rate, int n)
{
    return static_cast<int>(std::lround(amplitude * 32767 * std::sin(2 * std::numbers::pi * hz * n / rate)));
}

class SoundFileReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_bSox = MakeFile("-r 44100 -c 1", "tone.wav synth 1 sine 1000 vol 0.5")
            && MakeFile("-r 48000 -c 3", "three.wav synth 0.1 sine 1000 sine 3000 sine 6000 vol 0.5")
            && MakeFile("-r 8000 -c 2", "short.wav synth 100s sine 1000 vol 0.5");
    }
    void SetUp() override
    {
        if (!s_bSox)
            GTEST_SKIP() << "sox could not make the test files";
    }
    static bool s_bSox;
};
bool SoundFileReaderTest::s_bSox = false;

// A mono file plays on both channels; of three channels the first two are read.
TEST_F(SoundFileReaderTest, FilesGiveTheirFirstTwoChannelsOrTheirOneOnBoth)
{
    const struct {
        const char* file;
        int rate, channels, frames;
        double rightHz;
    } cases[] = { { "tone.wav", 44100, 1, 44100, 1000 }, { "three.wav", 48000, 3, 4800, 3000 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CSoundFileReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(c.file, error)) << error;
        EXPECT_EQ(reader.SampleRate(), c.rate);
        EXPECT_EQ(reader.Channels(), c.channels);
        EXPECT_EQ(reader.Frames(), c.frames);
        std::vector<std::int16_t> block(2 * 600);
        ASSERT_EQ(reader.ReadStereo(block.data(), 600), 600);
        for (int n = 0; n < 600; ++n) {
            ASSERT_NEAR(block[static_cast<std::size_t>(2 * n)], Ideal(0.5, 1000, c.rate, n), kDitherSteps) << n;
            ASSERT_NEAR(block[static_cast<std::size_t>(2 * n + 1)], Ideal(0.5, c.rightHz, c.rate, n), kDitherSteps) << n;
        }
    }
}

// short.wav holds 100 frames: reading stops there; the file source loops seamlessly.
TEST_F(SoundFileReaderTest, ReadingStopsAtTheEndRewindStartsOverAndTheSourceLoops)
{
    auto reader = std::make_unique<CSoundFileReader>();
    std::string error;
    ASSERT_TRUE(reader->Open("short.wav", error)) << error;
    ASSERT_EQ(reader->Frames(), 100);
    std::vector<std::int16_t> block(2 * 512);
    EXPECT_EQ(reader->ReadStereo(block.data(), 512), 100);
    EXPECT_EQ(reader->ReadStereo(block.data(), 512), 0);
    ASSERT_TRUE(reader->Rewind());
    CFileFrameSource source(std::move(reader));
    source.Render(block.data(), 512);
    for (std::size_t n = 0; n < 412; ++n)
        ASSERT_EQ(block[2 * (100 + n)], block[2 * (n % 100)]) << n;
    EXPECT_NEAR(block[4], 16384, kDitherSteps); // 1 kHz at 8 kHz: frame 2 is the crest
}

// The device plays the file at its own rate only, and says so.
TEST_F(SoundFileReaderTest, FileDeviceRefusesOtherRatesNamingItsOwn)
{
    std::string error;
    auto driver = CFileWaveDriver::Create("tone.wav", error);
    ASSERT_NE(driver, nullptr) << error;
    CThreadMessageQueue notify(64);
    std::unique_ptr<IWaveInStream> stream;
    EXPECT_EQ(driver->Open(0, StereoFormat(48000), notify, stream), WAVERR_BADFORMAT);
    std::string text;
    ASSERT_TRUE(driver->ErrorText(WAVERR_BADFORMAT, text));
    EXPECT_NE(text.find("44100"), std::string::npos);
}

TEST(SoundFileMissing, AMissingOrTextFileGivesAReasonAndNoDriver)
{
    {
        FILE* f = std::fopen("notes.txt", "w");
        ASSERT_NE(f, nullptr);
        std::fputs("not a sound file\n", f);
        std::fclose(f);
    }
    for (const char* path : { "no-such-file.wav", "notes.txt" }) {
        CSoundFileReader reader;
        std::string error;
        EXPECT_FALSE(reader.Open(path, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        error.clear();
        EXPECT_EQ(CFileWaveDriver::Create(path, error), nullptr) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
}

TEST(SoundFileMissing, RegistrationShowsOneNoticeAndAddsNoFileDevice)
{
    CNoticeRecorder notices;
    const auto registration = RegisterAudioDrivers(false, QStringLiteral("gone.wav"));
    EXPECT_EQ(registration.fileDevice, -1);
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_TRUE(notices.Notices()[0].text.contains(QStringLiteral("gone.wav")));
    EXPECT_EQ(notices.Notices()[0].caption, "Recorder");
    EXPECT_EQ(registration.problem, notices.Notices()[0].text);
    for (int id = 0; id < CWaveIn::Instance().DeviceCount(); ++id)
        EXPECT_NE(CWaveIn::Instance().DeviceName(id).rfind("File: ", 0), 0u);
    CWaveIn::Instance().ClearDrivers();
}

TEST(AudioDrivers, DemoDevicesFollowTheRealOnesAndAreListed)
{
    const auto registration = RegisterAudioDrivers(true, QString(), false);
    ASSERT_GE(registration.demoDevice, 0);
    EXPECT_EQ(CWaveIn::Instance().DeviceName(registration.demoDevice), "Demo: Music mix");
    EXPECT_EQ(CWaveIn::Instance().DeviceName(registration.demoDevice + 4), "Demo: Anti-phase");
    const QString text = ListDevicesText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("-1: Default (")));
    EXPECT_TRUE(text.contains(QStringLiteral("%1: Demo: Music mix\n").arg(registration.demoDevice)));
    EXPECT_TRUE(text.contains(QStringLiteral("%1: Demo: Anti-phase\n").arg(registration.demoDevice + 4)));
    CWaveIn::Instance().ClearDrivers();
}

TEST(AudioDrivers, NoDeviceAtAllIsSaidPlainly)
{
    CWaveIn::Instance().ClearDrivers();
    EXPECT_EQ(ListDevicesText(), "No input device found!\n");
}

} // namespace
