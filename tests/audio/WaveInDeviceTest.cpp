// The capture device on its own (no capture thread): the sample area, the
// priming of the ring and the closed marker.
#include "audio/WaveInDevice.h"
#include "platform/Notices.h"
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/TestWaveDriver.h"

#include <gtest/gtest.h>

namespace {

TEST(WaveInDevice, StartsClosedAt44100OnDeviceZero)
{
    CWaveInDevice device;
    EXPECT_EQ(device.OpenResult(), 2);
    EXPECT_EQ(device.SampleRate(), 44100);
    EXPECT_EQ(device.DeviceId(), 0);
    EXPECT_FALSE(device.IsRunning());
}

TEST(WaveInDevice, OpenPrimesBuffersZeroToThirtyFromOneContiguousArea)
{
    CNoticeRecorder notices;
    CTestWaveDriver driver;
    driver.AddDevice("Line In");
    CThreadMessageQueue notify(256);
    CWaveInDevice device;
    ASSERT_EQ(device.Open(notify), 1);
    EXPECT_EQ(device.OpenResult(), 0);
    EXPECT_TRUE(device.IsRunning());
    EXPECT_EQ(driver.QueuedBuffers(), 31);
    for (int i = 0; i < 31; ++i) {
        const WAVEHDR& header = device.Header(i);
        // 32 buffers of 2048 bytes back to back: 64 KiB in all.
        EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(header.lpData), device.SampleArea() + i * 2048) << i;
        EXPECT_EQ(header.dwBufferLength, 2048u);
        EXPECT_EQ(header.dwLoops, 0u);
        EXPECT_NE(header.dwFlags & WHDR_INQUEUE, 0u);
    }
    EXPECT_EQ(device.Buffer(31), device.SampleArea() + 65536 - 2048);
    EXPECT_EQ(device.Header(31).lpData, nullptr);
    CThreadMessage msg;
    ASSERT_TRUE(notify.Peek(msg));
    EXPECT_EQ(msg.message, MM_WIM_OPEN);

    device.StopRecording();
    device.ResetAndClose();
    EXPECT_EQ(device.OpenResult(), 2);
    EXPECT_FALSE(driver.IsOpen());
    // The reset handed all 31 back before the close notice.
    int data = 0;
    while (notify.Peek(msg) && msg.message == MM_WIM_DATA)
        ++data;
    EXPECT_EQ(data, 31);
    EXPECT_EQ(msg.message, MM_WIM_CLOSE);
}

TEST(WaveInDevice, FormatAsksForSixteenBitStereoAtTheStoredRate)
{
    CNoticeRecorder notices;
    CTestWaveDriver driver;
    driver.AddDevice("Line In");
    CThreadMessageQueue notify(256);
    CWaveInDevice device;
    device.SetSampleRate(48000);
    ASSERT_EQ(device.Open(notify), 1);
    EXPECT_EQ(driver.LastOpenRate(), 48000);
    EXPECT_EQ(driver.LastOpenDevice(), 0);
}

TEST(WaveInDevice, TheDefaultDeviceIsOpenedForIdMinusOne)
{
    CNoticeRecorder notices;
    CTestWaveDriver driver;
    driver.AddDevice("A");
    driver.AddDevice("B");
    driver.SetDefaultDevice(1);
    CThreadMessageQueue notify(256);
    CWaveInDevice device;
    device.SetDeviceId(-1);
    ASSERT_EQ(device.Open(notify), 1);
    EXPECT_EQ(driver.LastOpenDevice(), 1);
}

TEST(WaveInDevice, DestroyingAnOpenDeviceClosesIt)
{
    CNoticeRecorder notices;
    CTestWaveDriver driver;
    driver.AddDevice("Line In");
    CThreadMessageQueue notify(256);
    {
        CWaveInDevice device;
        ASSERT_EQ(device.Open(notify), 1);
        ASSERT_TRUE(driver.IsOpen());
    }
    EXPECT_FALSE(driver.IsOpen());
}

} // namespace
