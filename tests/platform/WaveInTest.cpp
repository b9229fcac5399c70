// The wave-input facade: one id space over several drivers, the default
// device, and whose error text is shown; the demo devices' signals.
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/DemoSignal.h"
#include "platform/wavein/DemoWaveDriver.h"
#include "platform/wavein/TestWaveDriver.h"
#include "platform/wavein/WaveIn.h"
#include "tests/platform/StereoFormat.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class WaveInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_test.AddDevice("Line In");
        m_test.AddDevice("Mic");
        // The test driver first, the demo devices after it.
        m_previous = CWaveIn::Instance().ReplaceDrivers({ &m_test, &m_demo });
    }
    void TearDown() override { CWaveIn::Instance().ReplaceDrivers(m_previous); }

    CTestWaveDriver m_test;
    CDemoWaveDriver m_demo;
    std::vector<IWaveInDriver*> m_previous;
    CThreadMessageQueue m_notify { 256 };
};

// A device with buffers queued closes only after a reset has returned them.
TEST_F(WaveInTest, OpeningAnIdReachesThatDriversDeviceWhichClosesOnceReset)
{
    HWAVEIN handle = nullptr;
    const WAVEFORMATEX format = StereoFormat(48000);
    ASSERT_EQ(waveInOpen(&handle, 1, &format, m_notify), MMSYSERR_NOERROR);
    EXPECT_EQ(std::make_pair(m_test.LastOpenDevice(), m_test.LastOpenRate()), std::make_pair(1, 48000));
    CThreadMessage msg;
    EXPECT_TRUE(m_notify.Peek(msg) && msg.message == MM_WIM_OPEN);
    std::int16_t data[1024] {};
    WAVEHDR header { .lpData = reinterpret_cast<char*>(data), .dwBufferLength = sizeof data };
    ASSERT_EQ(waveInPrepareHeader(handle, &header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(handle, &header), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(handle, &header), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInClose(handle), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveInReset(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(handle, &header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
    for (CThreadMessage last; m_notify.Peek(last);)
        msg = last;
    EXPECT_EQ(msg.message, MM_WIM_CLOSE);
    // The driver that failed last explains its own code; codes nobody claims still read as something.
    m_test.FailOpen(77, "Sync lost on the optical input.");
    EXPECT_EQ(waveInOpen(&handle, 0, &format, m_notify), 77);
    EXPECT_EQ(waveInGetErrorText(77), "Sync lost on the optical input.");
    EXPECT_NE(waveInGetErrorText(12345).find("12345"), std::string::npos);
}

// The first driver naming a default decides; none: device 0; no devices: -1.
TEST_F(WaveInTest, DeviceIdsRunThroughTheDriversInOrderAndTheFirstDefaultDecides)
{
    ASSERT_EQ(waveInGetNumDevs(), 7u);
    for (const auto& [id, expected] : { std::pair<int, std::string> { 0, "Line In" }, { 1, "Mic" },
             { 2, "Demo: Music mix" }, { 6, "Demo: Anti-phase" }, { 7, "" }, { -1, "" } }) {
        std::string name;
        EXPECT_EQ(waveInGetDevName(id, name), expected.empty() ? MMSYSERR_BADDEVICEID : MMSYSERR_NOERROR) << id;
        EXPECT_EQ(name, expected);
    }
    EXPECT_EQ(CWaveIn::Instance().DefaultDevice(), 0);
    m_test.SetDefaultDevice(1);
    EXPECT_EQ(CWaveIn::Instance().DefaultDevice(), 1);
    HWAVEIN handle = nullptr;
    const WAVEFORMATEX format = StereoFormat(44100);
    ASSERT_EQ(waveInOpen(&handle, WAVE_MAPPER, &format, m_notify), MMSYSERR_NOERROR);
    EXPECT_EQ(m_test.LastOpenDevice(), 1);
    waveInClose(handle);
    CWaveIn::Instance().ReplaceDrivers({});
    EXPECT_EQ(waveInGetNumDevs(), 0u);
    EXPECT_EQ(CWaveIn::Instance().DefaultDevice(), -1);
    EXPECT_EQ(waveInOpen(&handle, WAVE_MAPPER, &format, m_notify), MMSYSERR_NODRIVER);
    EXPECT_EQ(handle, nullptr);
}

// Only 16-bit stereo PCM is offered: three channels, 3-bit samples, a
// 3-byte frame or format tag 3 (floats) each are refused before any device opens.
TEST_F(WaveInTest, OnlySixteenBitStereoPcmIsOffered)
{
    for (int field = 0; field < 4; ++field) {
        WAVEFORMATEX format = StereoFormat(44100);
        (field == 0 ? format.nChannels : field == 1 ? format.wBitsPerSample : field == 2 ? format.nBlockAlign : format.wFormatTag) = 3;
        HWAVEIN handle = nullptr;
        EXPECT_EQ(waveInOpen(&handle, 0, &format, m_notify), WAVERR_BADFORMAT) << field;
        EXPECT_EQ(handle, nullptr);
    }
    EXPECT_EQ(m_test.OpenCount(), 0);
}

std::vector<std::int16_t> Render(CDemoSignal::Kind kind, int rate, int frames)
{
    CDemoSignal signal(kind, rate);
    std::vector<std::int16_t> out(static_cast<std::size_t>(2 * frames));
    for (int done = 0; done < frames; done += 512)
        signal.Render(out.data() + 2 * done, std::min(512, frames - done));
    return out;
}

// 48 samples per period at 48 kHz: sample 12 is the crest, 24 the zero
// crossing; at 44.1 kHz ten periods take 441 samples.
TEST(DemoSignal, SineIsOneKilohertzAtMinusSixDecibelsFullScaleAtBothRates)
{
    const auto v = Render(CDemoSignal::Kind::Sine1k, 48000, 4800);
    EXPECT_NEAR(*std::max_element(v.begin(), v.end()), 16384, 1);
    for (const auto& [n, value] : { std::pair { 12, 16384 }, { 24, 0 }, { 36, -16384 } })
        EXPECT_NEAR(v[2 * n], value, 1) << n;
    for (std::size_t i = 0; i < v.size(); i += 2)
        ASSERT_EQ(v[i], v[i + 1]);
    EXPECT_NEAR(Render(CDemoSignal::Kind::Sine1k, 44100, 442)[2 * 441], 0, 1);
}

// The devices that show one-sided and inverted input: the right channel
// silent, or the left one inverted sample by sample.
TEST(DemoSignal, LeftOnlyIsSilentOnTheRightAndAntiPhaseIsInverted)
{
    const auto left = Render(CDemoSignal::Kind::LeftOnly, 44100, 44100);
    const auto anti = Render(CDemoSignal::Kind::AntiPhase, 44100, 44100);
    int leftPeak = 0;
    for (std::size_t i = 0; i < left.size(); i += 2) {
        ASSERT_EQ(left[i + 1], 0) << "frame " << i / 2;
        ASSERT_EQ(anti[i + 1], anti[i] == -32768 ? 32767 : -anti[i]) << "frame " << i / 2;
        leftPeak = std::max(leftPeak, std::abs(static_cast<int>(left[i])));
    }
    EXPECT_GT(leftPeak, 3000);
    EXPECT_GT(*std::max_element(anti.begin(), anti.end()), 3000);
}

} // namespace
