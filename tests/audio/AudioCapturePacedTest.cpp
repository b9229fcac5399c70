// The capture engine on the paced drivers: the demo generators and a sound
// file play through the whole ring in real time.
#include "audio/AudioCapture.h"
#include "platform/Notices.h"
#include "platform/wavein/DemoWaveDriver.h"
#include "platform/wavein/FileWaveDriver.h"
#include "platform/wavein/WaveIn.h"
#include "tests/audio/BlockRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The document's closing order ends the run: the stop flag, then the stop.
TEST_F(AudioCapturePacedTest, DemoSineArrivesContinuouslyAndTheClosingOrderStopsIt)
{
    CDemoWaveDriver demo;
    Use(&demo);
    ASSERT_EQ(m_capture.Device().EnumerateDevices(), 5);
    m_capture.Device().SetDeviceId(1); // the 1 kHz sine
    m_capture.Device().SetSampleRate(48000);
    ASSERT_EQ(m_capture.Open(), 1);
    ASSERT_TRUE(m_sink.WaitFor(40, std::chrono::seconds(10)));
    m_capture.m_bStop.store(1);
    EXPECT_TRUE(m_capture.StopCapture());
    EXPECT_FALSE(m_capture.Device().IsOpen() || m_capture.Device().IsRunning());
    EXPECT_TRUE(m_notices.Notices().empty());
    // 40 blocks wrap the 32-buffer ring with no seam: at 48 kHz every 48th sample repeats.
    const auto records = m_sink.Records();
    ASSERT_GE(records.size(), 40u);
    std::vector<int> left;
    for (std::size_t i = 0; i < 40 * 512; ++i)
        left.push_back(records[i / 512].samples[2 * (i % 512)]);
    for (std::size_t i = 48; i < left.size(); ++i)
        ASSERT_NEAR(left[i], left[i - 48], 1) << "sample " << i;
    EXPECT_NEAR(*std::max_element(left.begin(), left.end()), 16384, 1);
}

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
    ASSERT_TRUE(m_sink.WaitFor(2, std::chrono::seconds(10)));
    EXPECT_TRUE(m_capture.StopCapture());
    const auto records = m_sink.Records();
    // 1 kHz at 44.1 kHz, half scale, mono on both channels: sample 11 is 0.5 sin(2 pi 11 / 44.1).
    EXPECT_NEAR(records[0].samples[2 * 11], 16384 * std::sin(2 * 3.14159265358979 * 11 / 44.1), 3);
    for (std::size_t i = 0; i < 512; ++i)
        ASSERT_EQ(records[1].samples[2 * i], records[1].samples[2 * i + 1]);
}

} // namespace
