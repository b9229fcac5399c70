// The capture engine on a paced driver: a sound file plays through the
// whole ring in real time.
#include "audio/AudioCapture.h"
#include "platform/Notices.h"
#include "platform/wavein/FileWaveDriver.h"
#include "platform/wavein/WaveIn.h"
#include "tests/audio/BlockRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

class AudioCapturePacedTest : public ::testing::Test {
protected:
    void SetUp() override { m_capture.CreateThread(), m_capture.SetDocument(&m_sink); }
    void TearDown() override
    {
        m_capture.EndThread();
        CWaveIn::Instance().ReplaceDrivers(m_previous);
    }
    void Use(IWaveInDriver* driver) { m_previous = CWaveIn::Instance().ReplaceDrivers({ driver }); }

    CNoticeRecorder m_notices;
    std::vector<IWaveInDriver*> m_previous;
    CBlockRecorder m_sink;
    CAudioCapture m_capture;
};

TEST_F(AudioCapturePacedTest, FileDeviceFallsBackToTheFilesRateAndPlaysItsSamples)
{
    ASSERT_EQ(std::system("sox -r 44100 -c 1 -n -b 16 capture-tone.wav synth 1 sine 1000 vol 0.5 2>/dev/null"), 0);
    std::string error;
    auto file = CFileWaveDriver::Create("capture-tone.wav", error);
    ASSERT_NE(file, nullptr) << error;
    Use(file.get());
    ASSERT_EQ(m_capture.Device().EnumerateDevices(), 1);
    EXPECT_EQ(m_capture.Device().Names()[0], "File: capture-tone.wav");
    // Stored at 48000: refused with 32, retried at the file's 44100.
    m_capture.Device().SetSampleRate(48000);
    ASSERT_EQ(m_capture.Open(), 1);
    EXPECT_EQ(m_capture.Device().SampleRate(), 44100);
    EXPECT_TRUE(m_notices.Notices().empty());
    // 40 blocks wrap the 32-buffer ring; the document's closing order ends
    // the run: the stop flag, then the stop.
    ASSERT_TRUE(m_sink.WaitFor(40, std::chrono::seconds(10)));
    m_capture.m_bStop.store(1);
    EXPECT_TRUE(m_capture.StopCapture());
    EXPECT_FALSE(m_capture.Device().IsOpen() || m_capture.Device().IsRunning());
    const auto records = m_sink.Records();
    ASSERT_GE(records.size(), 40u);
    // 1 kHz at 44.1 kHz, half scale, mono on both channels: sample n is
    // 0.5 sin(2 pi n / 44.1) (sox dithers a step or two), with no seam anywhere.
    for (std::size_t n = 0; n < 40 * 512; ++n) {
        const auto& frame = records[n / 512].samples;
        ASSERT_NEAR(frame[2 * (n % 512)], 16384 * std::sin(2 * 3.14159265358979 * static_cast<double>(n) / 44.1), 3) << n;
        ASSERT_EQ(frame[2 * (n % 512)], frame[2 * (n % 512) + 1]) << n;
    }
}

} // namespace
