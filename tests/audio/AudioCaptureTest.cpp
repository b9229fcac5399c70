// The capture engine over the scriptable driver: the ring of 32 buffers,
// stopping, a lost device, a real file played through the ring.
#include "audio/BlockSink.h"
#include "platform/wavein/FileWaveDriver.h"
#include "platform/wavein/WaveIn.h"
#include "tests/common/CaptureHubFixture.h"

#include <sys/resource.h>

#include <cmath>
#include <cstring>

namespace {

using Longs = std::vector<long>;

// Records each block's offset in the sample area and a copy of it; the
// count is published after the record, so the test thread reads only
// finished records.
class CBlockRecorder : public IBlockSink {
public:
    struct Record {
        long offset;
        std::array<std::int16_t, 1024> samples;
    };
    void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) override
    {
        const int n = m_nCount.load(std::memory_order_relaxed);
        if (n == static_cast<int>(m_records.size()))
            return;
        m_records[static_cast<std::size_t>(n)].offset = static_cast<long>(block - sampleArea);
        std::memcpy(m_records[static_cast<std::size_t>(n)].samples.data(), block, 2048);
        m_nCount.store(n + 1, std::memory_order_release);
    }
    void OnInputLost() override { ++m_nLosses; }
    void OnInputOpened() override { ++m_nOpens; }
    // Each block's offset, or its first left sample.
    Longs Each(bool offsets)
    {
        Longs out;
        for (std::size_t i = 0; i < static_cast<std::size_t>(m_nCount.load(std::memory_order_acquire)); ++i)
            out.push_back(offsets ? m_records[i].offset : m_records[i].samples[0]);
        return out;
    }
    std::array<Record, 128> m_records;
    std::atomic<int> m_nCount { 0 }, m_nLosses { 0 }, m_nOpens { 0 };
};

// The hub's capture thread and driver, with the recorder as the document.
class AudioCaptureTest : public CaptureHubFixture {
protected:
    void SetUp() override
    {
        StartHub({ "Line In" });
        capture->SetDocument(&m_sink);
    }
    void OpenAndSettle()
    {
        ASSERT_EQ(capture->Open(), 1);
        ASSERT_TRUE(capture->WaitForIdle());
        ASSERT_EQ(capture->m_bOpened.load(), 1);
    }

    CBlockRecorder m_sink;
};

TEST_F(AudioCaptureTest, BuffersRotateThroughTheRingInOrderKeepingThirtyOneQueued)
{
    OpenAndSettle();
    EXPECT_EQ(driver.QueuedBuffers(), 31);
    Longs offsets, left;
    for (int i = 0; i < 70; ++i) {
        Deliver(static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i));
        ASSERT_EQ(driver.QueuedBuffers(), 31) << "after block " << i;
        offsets.push_back(i % 32 * 2048);
        left.push_back(i);
    }
    EXPECT_EQ(m_sink.Each(true), offsets);
    EXPECT_EQ(m_sink.Each(false), left);
}

// A stop drops the buffers the reset hands back; a lost device is closed at
// once and the document told; either way a reopen starts at buffer zero.
TEST_F(AudioCaptureTest, StopOrALostDeviceClosesItAndAReopenStartsAtBufferZero)
{
    OpenAndSettle();
    for (std::int16_t v : { 10, 11, 12 })
        Deliver(v, static_cast<std::int16_t>(-v));
    ASSERT_TRUE(capture->StopCapture());
    ASSERT_TRUE(capture->WaitForIdle());
    EXPECT_FALSE(capture->m_bOpened.load() || capture->Device().IsOpen() || driver.IsOpen());
    OpenAndSettle();
    Deliver(20, -20);

    ASSERT_TRUE(driver.LoseDevice());
    ASSERT_TRUE(capture->WaitForIdle());
    ASSERT_TRUE(capture->WaitForIdle()); // the close notice the close itself posts
    EXPECT_EQ(std::make_pair(capture->LostNotices(), capture->CloseNotices()), std::make_pair(1ul, 2ul));
    EXPECT_EQ(m_sink.m_nLosses.load(), 1);
    EXPECT_FALSE(capture->m_bOpened.load() || driver.IsOpen() || capture->Device().IsOpen());
    EXPECT_TRUE(capture->StopCapture());
    OpenAndSettle();
    Deliver(7, -7);
    EXPECT_EQ(m_sink.Each(false), (Longs { 10, 11, 12, 20, 7 }));
    EXPECT_EQ(m_sink.Each(true), (Longs { 0, 2048, 4096, 0, 0 }));
    EXPECT_EQ(m_sink.m_nOpens.load(), 3);
}

// The paced file device plays a real file through the whole ring in real time.
TEST_F(AudioCaptureTest, FileDeviceFallsBackToTheFilesRateAndPlaysItsSamples)
{
    ASSERT_EQ(std::system("sox -r 44100 -c 1 -n -b 16 capture-tone.wav synth 1 sine 1000 vol 0.5 2>/dev/null"), 0);
    std::string error;
    auto file = CFileWaveDriver::Create("capture-tone.wav", error);
    ASSERT_NE(file, nullptr) << error;
    const auto previous = CWaveIn::Instance().ReplaceDrivers({ file.get() });
    ASSERT_EQ(capture->Device().EnumerateDevices(), 1);
    EXPECT_EQ(capture->Device().Names()[0], "File: capture-tone.wav");
    // Stored at 48000: refused, retried at the file's 44100.
    capture->Device().SetSampleRate(48000);
    ASSERT_EQ(capture->Open(), 1);
    EXPECT_EQ(capture->Device().SampleRate(), 44100);
    EXPECT_TRUE(notices.Notices().empty());
    // 40 blocks wrap the ring; the document's closing order ends the run.
    for (int i = 0; i < 1000 && m_sink.m_nCount.load(std::memory_order_acquire) < 40; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    capture->m_bStop.store(1);
    EXPECT_TRUE(capture->StopCapture());
    EXPECT_FALSE(capture->Device().IsOpen() || capture->Device().IsRunning());
    CWaveIn::Instance().ReplaceDrivers(previous);
    ASSERT_GE(m_sink.m_nCount.load(std::memory_order_acquire), 40);
    const auto& records = m_sink.m_records;
    // 1 kHz at 44.1 kHz, half scale, mono on both channels: sample n is
    // 0.5 sin(2 pi n / 44.1) (sox dithers a step or two), with no seam anywhere.
    for (std::size_t n = 0; n < 40 * 512; ++n) {
        const auto& frame = records[n / 512].samples;
        ASSERT_NEAR(frame[2 * (n % 512)], 16384 * std::sin(2 * 3.14159265358979 * static_cast<double>(n) / 44.1), 3) << n;
        ASSERT_EQ(frame[2 * (n % 512)], frame[2 * (n % 512) + 1]) << n;
    }
}

// Niceness 0 is "normal", 1 "below normal". The setting chosen before the
// thread starts holds from its first block and changes the capture thread
// only; raising it again needs a privilege, and a refusal is reported.
TEST(AudioCapturePriority, TheCaptureThreadAloneRunsAtTheChosenPriority)
{
    const bool privileged = ::geteuid() == 0;
    const int ownNiceness = ::getpriority(PRIO_PROCESS, 0);
    for (const bool high : { true, false }) {
        SCOPED_TRACE(high ? "high" : "normal");
        CTestWaveDriver driver;
        CAudioCapture capture;
        EXPECT_FALSE(capture.WaitForIdle()) << "no thread yet, nothing to wait for";
        EXPECT_TRUE(capture.SetThreadPriority(high));
        ASSERT_TRUE(capture.CreateThread());
        ASSERT_TRUE(capture.WaitForIdle());
        const auto tid = static_cast<id_t>(capture.ThreadId());
        ASSERT_NE(tid, 0u);
        EXPECT_EQ(::getpriority(PRIO_PROCESS, tid), high ? 0 : 1);
        EXPECT_EQ(capture.SetThreadPriority(!high), high || privileged);
        EXPECT_EQ(::getpriority(PRIO_PROCESS, tid), high || privileged ? (high ? 1 : 0) : 1);
        capture.EndThread();
        EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), ownNiceness);
    }
}

} // namespace
