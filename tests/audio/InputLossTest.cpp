// A device that goes away under running instruments.
#include "tests/common/CaptureHubFixture.h"

#include "platform/wavein/WaveIn.h"

#include <algorithm>

namespace {

// An interface plugged in while the input was lost: listed, before every
// other device, once the drivers are asked again.
class CAppearingDriver : public IWaveInDriver {
public:
    int DeviceCount() const override { return m_bListed ? 1 : 0; }
    std::string DeviceName(int) const override { return "New Interface"; }
    bool Rescan() override { return m_bListed = true; }
    MMRESULT Open(int, const WAVEFORMATEX&, CThreadMessageQueue&, std::unique_ptr<IWaveInStream>&) override { return MMSYSERR_ALLOCATED; }
    bool m_bListed = false;
};

using Names = std::vector<std::string>;

class CNoInputLoudness : public ILoudnessSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; }
    void ShowLoudness(const CLoudnessSnapshot&) override {}
    void ShowNoInput() override { ++m_nNoInput; }
    int m_nNoInput = 0, m_nOn = 0;
};

class InputLossTest : public CaptureHubFixture {
protected:
    void SetUp() override
    {
        StartHub({ "Line In", "USB Mic" });
        capture->Device().SetDeviceId(1);
        ppm.SetOn(1);
        stereo.SetOn(1);
        fft.SetOn(1);
        ASSERT_EQ(doc->MeterOn(), 1);
        ASSERT_TRUE(capture->WaitForIdle());
    }
    void LoseAndNotice()
    {
        ASSERT_TRUE(driver.LoseDevice());
        ASSERT_TRUE(SpinUntil([&] { return doc->IsInputLost(); }));
        ppm.m_events.clear(), stereo.m_points.clear(), fft.m_values.clear();
    }
};

TEST_F(InputLossTest, TheLossIsToldByNameAndTheInstrumentsFallAsInSilence)
{
    CNoInputLoudness loudness;
    doc->SetLoudness(&loudness);
    LoseAndNotice();
    EXPECT_EQ(host.m_lost, Names { "USB Mic" });
    EXPECT_EQ(std::make_pair(ppm.IsOn(), doc->MeterCount()), std::make_pair(1, 1));
    EXPECT_TRUE(notices.Notices().empty());
    loudness.SetOn(1);
    doc->ApplySilence();
    doc->ApplySilence();
    loudness.SetOn(0);
    EXPECT_EQ(loudness.m_nNoInput, 2);
    const Names expected { "value 0 0", "value 1 0", "tick", "value 0 0", "value 1 0", "tick" };
    EXPECT_EQ(ppm.m_events, expected);
    // Every frame of both blocks at the centre; the analyzer fed once per two blocks.
    ASSERT_EQ(stereo.m_points.size(), 1024u);
    EXPECT_TRUE(std::all_of(stereo.m_points.begin(), stereo.m_points.end(), [](const auto& p) { return p[0] == 0 && p[1] == 0; }));
    ASSERT_EQ(fft.m_values.size(), static_cast<std::size_t>(kBandCount));
    EXPECT_TRUE(std::all_of(fft.m_values.begin(), fft.m_values.end(), [](const auto& v) { return v[0] == 0; }));
    // With no packets coming, a timer keeps the meters falling.
    EXPECT_TRUE(SpinUntil([&] { return std::count(ppm.m_events.begin(), ppm.m_events.end(), "tick") >= 10; }));
    // Switching everything off ends the loss quietly.
    doc->MeterOff(true);
    EXPECT_FALSE(doc->IsInputLost() || doc->RetryLostInput() || driver.IsOpen());
    EXPECT_EQ(host.m_lost, (Names { "USB Mic", "" }));
    EXPECT_EQ(loudness.m_nNoInput, 2); // not while the meter is off
    doc->SetLoudness(nullptr);
}

TEST_F(InputLossTest, TheDeviceIsReopenedByItselfAndBlocksFlowAgain)
{
    LoseAndNotice();
    driver.SetBusy(true);
    EXPECT_FALSE(doc->RetryLostInput());
    EXPECT_TRUE(doc->IsInputLost());
    driver.SetBusy(false);
    ASSERT_TRUE(SpinUntil([&] { return !doc->IsInputLost(); })); // the retry timer
    EXPECT_EQ(host.m_lost, (Names { "USB Mic", "" }));
    EXPECT_EQ(capture->Device().DeviceId(), 1);
    ASSERT_TRUE(capture->WaitForIdle());
    ppm.m_events.clear();
    Deliver(2000, 100);
    doc->ApplyPackets();
    ASSERT_GE(ppm.m_events.size(), 2u);
    EXPECT_EQ(ppm.m_events[0], "value 0 2000");
    EXPECT_TRUE(notices.Notices().empty()); // no message box for the failed try
}

// The lost device is found again by its name, though its id has moved.
TEST_F(InputLossTest, TheRetryFollowsTheDeviceToItsNewPlaceInTheList)
{
    CAppearingDriver appearing;
    const auto previous = CWaveIn::Instance().ReplaceDrivers({ &appearing, &driver });
    doc->MeterOff(true);
    capture->Device().SetDeviceId(0); // Line In
    driver.SetDefaultDevice(1);        // not the system default: the loss names device 0 itself
    ASSERT_EQ(doc->MeterOn(), 1);
    ASSERT_TRUE(capture->WaitForIdle());
    LoseAndNotice();
    EXPECT_TRUE(SpinUntil([&] { return !doc->IsInputLost(); }));
    EXPECT_EQ(std::make_pair(capture->Device().DeviceId(), driver.LastOpenDevice()), std::make_pair(1, 0));
    EXPECT_EQ(host.m_lost, (Names { "Line In", "" }));
    CWaveIn::Instance().ReplaceDrivers(previous);
}

} // namespace
