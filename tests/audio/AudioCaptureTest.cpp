// The capture engine driven through the scriptable test driver: the ring of
// 32 buffers, the open sequence and its failures, the notices that are
// dropped, and stopping.
#include "audio/AudioCapture.h"
#include "audio/BlockSink.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>
#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <mutex>
#include <vector>

namespace {

constexpr const char* kBusyText =
    "Another application is recording audio. Stop recording with this other application and then try again.";

// Records what the capture thread hands on: the buffer offsets within the
// sample area and the first frame of each block.
class CRecordingSink : public IBlockSink {
public:
    void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) override
    {
        std::int16_t first[2];
        std::memcpy(first, block, sizeof first);
        std::lock_guard lock(m_lock);
        m_offsets.push_back(static_cast<long>(block - sampleArea));
        m_firstLeft.push_back(first[0]);
        m_firstRight.push_back(first[1]);
        m_lastSampleArea = sampleArea;
    }
    void OnInputLost() override { ++m_nLosses; }
    void OnInputOpened() override { ++m_nOpens; }
    int Losses() const { return m_nLosses.load(); }
    int Opens() const { return m_nOpens.load(); }
    std::vector<long> Offsets()
    {
        std::lock_guard lock(m_lock);
        return m_offsets;
    }
    std::vector<int> FirstLeft()
    {
        std::lock_guard lock(m_lock);
        return m_firstLeft;
    }
    std::vector<int> FirstRight()
    {
        std::lock_guard lock(m_lock);
        return m_firstRight;
    }

private:
    std::mutex m_lock;
    std::vector<long> m_offsets;
    std::vector<int> m_firstLeft;
    std::vector<int> m_firstRight;
    const std::uint8_t* m_lastSampleArea = nullptr;
    std::atomic<int> m_nLosses { 0 };
    std::atomic<int> m_nOpens { 0 };
};

class AudioCaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver.AddDevice("Line In");
        m_driver.AddDevice("Microphone");
        m_capture.CreateThread();
        m_capture.SetDocument(&m_sink);
        ASSERT_EQ(m_capture.Device().EnumerateDevices(), 2);
    }

    // Opens and waits until the open notice has been handled.
    void OpenAndSettle()
    {
        ASSERT_EQ(m_capture.Open(), 1);
        ASSERT_TRUE(m_capture.WaitForIdle());
        ASSERT_EQ(m_capture.m_bOpened.load(), 1);
    }

    void Deliver(int count, int firstValue = 0)
    {
        for (int i = 0; i < count; ++i) {
            const auto v = static_cast<std::int16_t>(firstValue + i);
            ASSERT_TRUE(m_driver.DeliverBlock(CTestWaveDriver::Block(v, static_cast<std::int16_t>(-v))));
            // One at a time, as a paced device would: the capture thread
            // re-queues before the next block arrives.
            ASSERT_TRUE(m_capture.WaitForIdle());
        }
    }

    CNoticeRecorder m_notices;
    CTestWaveDriver m_driver; // outlives the capture object
    CRecordingSink m_sink;
    CAudioCapture m_capture;
};

TEST_F(AudioCaptureTest, OpenQueuesThirtyOneBuffersAndStarts)
{
    OpenAndSettle();
    EXPECT_EQ(m_driver.QueuedBuffers(), 31);
    EXPECT_TRUE(m_driver.IsStarted());
    EXPECT_EQ(m_driver.LastOpenRate(), 44100);
    EXPECT_EQ(m_capture.Device().RingIndex(), 0);
    EXPECT_TRUE(m_capture.Device().IsRunning());
    EXPECT_TRUE(m_notices.Notices().empty());
    // Buffer 31 waits outside the queue until the first notice.
    EXPECT_EQ(m_capture.Device().Header(31).dwFlags & WHDR_INQUEUE, 0u);
}

TEST_F(AudioCaptureTest, RotationKeepsThirtyOneQueuedAndHandsBuffersInRingOrder)
{
    OpenAndSettle();
    // Two full laps of the ring and a bit.
    constexpr int kBlocks = 70;
    for (int i = 0; i < kBlocks; ++i) {
        ASSERT_TRUE(m_driver.DeliverBlock(CTestWaveDriver::Block(static_cast<std::int16_t>(i), 0)));
        ASSERT_TRUE(m_capture.WaitForIdle());
        // The returned buffer is out, the previous one is back: still 31.
        ASSERT_EQ(m_driver.QueuedBuffers(), 31) << "after block " << i;
        ASSERT_EQ(m_capture.Device().RingIndex(), (i + 1) % 32);
    }
    const std::vector<long> offsets = m_sink.Offsets();
    ASSERT_EQ(offsets.size(), static_cast<std::size_t>(kBlocks));
    // Buffers 0..30 first, then 31 (re-queued at the first notice), then 0 again...
    for (int i = 0; i < kBlocks; ++i)
        EXPECT_EQ(offsets[static_cast<std::size_t>(i)], (i % 32) * 2048L) << "block " << i;
    const std::vector<int> left = m_sink.FirstLeft();
    for (int i = 0; i < kBlocks; ++i)
        EXPECT_EQ(left[static_cast<std::size_t>(i)], i);
}

TEST_F(AudioCaptureTest, PreviousBufferKeepsItsSamplesUntilThirtyMoreAreFilled)
{
    OpenAndSettle();
    Deliver(5, 100);
    // Block 4 lies in buffer 4; buffer 3 (returned one notice earlier) was
    // re-queued only now and still holds block 3's samples.
    const auto* area = reinterpret_cast<const std::int16_t*>(m_capture.Device().SampleArea());
    EXPECT_EQ(area[3 * 1024], 103);
    EXPECT_EQ(area[3 * 1024 + 1], -103);
    EXPECT_EQ(area[4 * 1024 + 1023], -104);
    EXPECT_NE(m_capture.Device().Header(3).dwFlags & WHDR_INQUEUE, 0u);
    EXPECT_EQ(m_capture.Device().Header(4).dwFlags & WHDR_INQUEUE, 0u);
}

TEST_F(AudioCaptureTest, BlocksBeforeTheOpenNoticeAreDroppedWithoutTouchingTheRing)
{
    // The opened flag is what the open notice sets; with it clear, as before
    // that notice, a block must not rotate the ring.
    ASSERT_EQ(m_capture.Open(), 1);
    ASSERT_TRUE(m_capture.WaitForIdle());
    m_capture.m_bOpened.store(0);
    ASSERT_TRUE(m_driver.DeliverBlock(CTestWaveDriver::Block(1, 1)));
    ASSERT_TRUE(m_capture.WaitForIdle());
    EXPECT_EQ(m_capture.DroppedNotices(), 1u);
    EXPECT_TRUE(m_sink.Offsets().empty());
    EXPECT_EQ(m_capture.Device().RingIndex(), 0);
    EXPECT_EQ(m_driver.QueuedBuffers(), 30); // the dropped buffer is not re-queued
}

TEST_F(AudioCaptureTest, BlocksWithoutADocumentOrAfterTheStopFlagAreDropped)
{
    OpenAndSettle();
    m_capture.SetDocument(nullptr);
    ASSERT_TRUE(m_driver.DeliverBlock(CTestWaveDriver::Block(1, 1)));
    ASSERT_TRUE(m_capture.WaitForIdle());
    EXPECT_EQ(m_capture.DroppedNotices(), 1u);
    EXPECT_EQ(m_capture.Device().RingIndex(), 0);
    EXPECT_TRUE(m_sink.Offsets().empty());
}

TEST_F(AudioCaptureTest, RefusedRateFallsBackToTheOtherOneAndKeepsIt)
{
    m_driver.RefuseRate(44100);
    OpenAndSettle();
    EXPECT_EQ(m_capture.Device().SampleRate(), 48000);
    EXPECT_EQ(m_driver.LastOpenRate(), 48000);
    EXPECT_EQ(m_driver.OpenCount(), 2);
    EXPECT_TRUE(m_notices.Notices().empty());
    EXPECT_EQ(m_driver.QueuedBuffers(), 31);
}

TEST_F(AudioCaptureTest, BothRatesRefusedShowsTheDriversTextOnceAndStaysClosed)
{
    m_driver.RefuseBothRates();
    EXPECT_EQ(m_capture.Open(), 0);
    ASSERT_EQ(m_notices.Notices().size(), 1u);
    EXPECT_EQ(m_notices.Notices()[0].caption, "Recorder");
    EXPECT_EQ(m_notices.Notices()[0].text.toStdString(), waveInGetErrorText(WAVERR_BADFORMAT));
    EXPECT_FALSE(m_notices.Notices()[0].text.isEmpty());
    EXPECT_EQ(m_driver.OpenCount(), 2);
    // The changed rate stays in the device.
    EXPECT_EQ(m_capture.Device().SampleRate(), 48000);
    EXPECT_FALSE(m_capture.Device().IsOpen());
    EXPECT_FALSE(m_driver.IsOpen());
}

TEST_F(AudioCaptureTest, BusyDeviceShowsTheFixedTextOnceWithoutRetry)
{
    m_driver.SetBusy(true);
    EXPECT_EQ(m_capture.Open(), 0);
    ASSERT_EQ(m_notices.Notices().size(), 1u);
    EXPECT_EQ(m_notices.Notices()[0].text, kBusyText);
    EXPECT_EQ(m_notices.Notices()[0].caption, "Recorder");
    EXPECT_EQ(m_driver.OpenCount(), 1);
    EXPECT_EQ(m_capture.Device().SampleRate(), 44100);
}

TEST_F(AudioCaptureTest, OtherFailureShowsTheDriversOwnText)
{
    m_driver.FailOpen(1234, "The interface is powered off.");
    EXPECT_EQ(m_capture.Open(), 0);
    ASSERT_EQ(m_notices.Notices().size(), 1u);
    EXPECT_EQ(m_notices.Notices()[0].text, "The interface is powered off.");
    EXPECT_EQ(m_notices.Notices()[0].caption, "Recorder");
}

TEST_F(AudioCaptureTest, StopDropsTheBuffersTheResetHandsBackThenCloses)
{
    OpenAndSettle();
    Deliver(3, 10);
    ASSERT_TRUE(m_capture.StopCapture());
    ASSERT_TRUE(m_capture.WaitForIdle());
    // The 31 buffers still queued come back through the reset holding no
    // audio: only the three recorded blocks reached the document.
    const std::vector<long> offsets = m_sink.Offsets();
    ASSERT_EQ(offsets.size(), 3u);
    for (std::size_t i = 0; i < offsets.size(); ++i)
        EXPECT_EQ(offsets[i], static_cast<long>(i) * 2048L) << "block " << i;
    EXPECT_EQ(m_sink.FirstLeft(), (std::vector<int> { 10, 11, 12 }));
    EXPECT_EQ(m_capture.m_bOpened.load(), 0);
    EXPECT_FALSE(m_capture.Device().IsOpen());
    EXPECT_FALSE(m_capture.Device().IsRunning());
    EXPECT_FALSE(m_driver.IsOpen());
    EXPECT_EQ(m_capture.CloseNotices(), 1u);
    // Blocks after the close notice find no device.
    EXPECT_FALSE(m_driver.DeliverBlock(CTestWaveDriver::Block(1, 1)));
}

TEST_F(AudioCaptureTest, ReopenAfterStopStartsTheRingAtBufferZero)
{
    OpenAndSettle();
    Deliver(5);
    ASSERT_TRUE(m_capture.StopCapture());
    OpenAndSettle();
    EXPECT_EQ(m_capture.Device().RingIndex(), 0);
    EXPECT_EQ(m_driver.QueuedBuffers(), 31);
    const std::size_t before = m_sink.Offsets().size();
    Deliver(1);
    EXPECT_EQ(m_sink.Offsets().size(), before + 1);
    EXPECT_EQ(m_sink.Offsets().back(), 0L);
}

TEST_F(AudioCaptureTest, ClosingOrderStopFlagThenStopStillClosesTheDevice)
{
    OpenAndSettle();
    Deliver(2);
    // The document closing: the flag first, then the stop message.
    m_capture.m_bStop.store(1);
    EXPECT_TRUE(m_capture.StopCapture());
    EXPECT_FALSE(m_driver.IsOpen());
    EXPECT_FALSE(m_capture.Device().IsOpen());
    // Nothing after the flag reached the document.
    EXPECT_EQ(m_sink.Offsets().size(), 2u);
}

TEST_F(AudioCaptureTest, LostDeviceIsClosedAtOnceAndTheDocumentIsTold)
{
    OpenAndSettle();
    Deliver(2);
    ASSERT_TRUE(m_driver.LoseDevice());
    ASSERT_TRUE(m_capture.WaitForIdle());
    ASSERT_TRUE(m_capture.WaitForIdle()); // the close notice the close itself posts
    EXPECT_EQ(m_capture.m_bOpened.load(), 0);
    EXPECT_EQ(m_capture.LostNotices(), 1u);
    EXPECT_EQ(m_sink.Losses(), 1);
    // The device was closed by the capture side, so it can be opened again.
    EXPECT_FALSE(m_driver.IsOpen());
    EXPECT_FALSE(m_capture.Device().IsOpen());
    EXPECT_EQ(m_capture.CloseNotices(), 1u);
    EXPECT_FALSE(m_driver.DeliverBlock(CTestWaveDriver::Block(1, 1)));
    EXPECT_EQ(m_sink.Offsets().size(), 2u);
    // A stop afterwards returns at once; a reopen works and starts afresh.
    EXPECT_TRUE(m_capture.StopCapture());
    OpenAndSettle();
    Deliver(1, 7);
    EXPECT_EQ(m_sink.FirstLeft().back(), 7);
    EXPECT_EQ(m_sink.Opens(), 2);
}

TEST(AudioCaptureNoDevice, EnumerationShowsTheMessageOnceAndReturnsMinusOne)
{
    CNoticeRecorder notices;
    CTestWaveDriver driver; // no devices
    CAudioCapture capture;
    EXPECT_EQ(capture.Device().EnumerateDevices(), -1);
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(notices.Notices()[0].text, "No input device found!");
    EXPECT_EQ(notices.Notices()[0].caption, "Recorder");
    EXPECT_TRUE(capture.Device().Names().empty());
}

TEST(AudioCaptureNoDevice, EnumerationListsNamesInDeviceOrder)
{
    CNoticeRecorder notices;
    CTestWaveDriver driver;
    driver.AddDevice("A");
    driver.AddDevice("B");
    driver.AddDevice("C");
    CAudioCapture capture;
    ASSERT_EQ(capture.Device().EnumerateDevices(), 3);
    EXPECT_EQ(capture.Device().Names(), (std::vector<std::string> { "A", "B", "C" }));
    EXPECT_TRUE(notices.Notices().empty());
}

} // namespace

namespace {

TEST(AudioCapturePriority, NormalRunsTheCaptureThreadBelowNormalAndHighAtNormal)
{
    CTestWaveDriver driver;
    CAudioCapture capture;
    capture.SetThreadPriority(false);
    ASSERT_TRUE(capture.CreateThread());
    ASSERT_TRUE(capture.WaitForIdle());
    const int tid = capture.ThreadId();
    ASSERT_NE(tid, 0);
    errno = 0;
    // Lowering is always allowed: niceness 1 is "below normal".
    EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(tid)), 1);
    // Raising it back needs a privilege; without one the level stays and
    // the refusal is reported to the caller.
    const bool privileged = ::geteuid() == 0;
    EXPECT_EQ(capture.SetThreadPriority(true), privileged);
    EXPECT_TRUE(capture.IsPriorityHigh());
    EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(tid)), privileged ? 0 : 1);
    capture.EndThread();
    EXPECT_EQ(capture.ThreadId(), 0);
}

// The nice value as anyone sees it: field 19 of /proc/<pid>/task/<tid>/stat.
int NiceFromProc(int tid)
{
    std::ifstream stat("/proc/" + std::to_string(::getpid()) + "/task/" + std::to_string(tid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name (field 2) is in parentheses and may hold spaces.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 19 && fields >> field; ++i) {
    }
    return std::stoi(field);
}

// The setting chosen before the thread starts holds from its first block,
// so an unprivileged user with "High" never sees the thread stuck lower.
TEST(AudioCapturePriority, TheThreadStartsAtTheSettingsPriority)
{
    const struct {
        bool high;
        int nice;
    } cases[] = { { true, 0 }, { false, 1 }, { true, 0 } };
    for (const auto& c : cases) {
        CTestWaveDriver driver;
        CAudioCapture capture;
        EXPECT_TRUE(capture.SetThreadPriority(c.high));
        ASSERT_TRUE(capture.CreateThread());
        ASSERT_TRUE(capture.WaitForIdle());
        EXPECT_EQ(NiceFromProc(capture.ThreadId()), c.nice) << "high " << c.high;
        capture.EndThread();
    }
}

} // namespace
