// The device and rate commands on the real capture path (document, capture
// thread, scriptable test driver) with two instruments switched through the
// document as real views switch them.
#include "FakeWorkspace.h"

#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/common/FakeMeterSinks.h"
#include "workspace/DocCaptureControl.h"
#include "workspace/WorkspaceIds.h"
#include "workspace/WspCommands.h"

#include <gtest/gtest.h>

namespace {
// A view reduced to its on state: stores it and, on restore, switches the
// instrument through the document when it differs.
class CInstrumentView : public IWorkspaceView {
public:
    CInstrumentView(CVelmoraDoc& doc, IMeterSwitch& meter, std::uint32_t type) : m_doc(doc), m_meter(meter), m_nType(type) {}
    void SwitchOn() { m_meter.SetOn(m_doc.MeterOn()); }
    void OnUpdate(int hint, CWsp* workspace) override
    {
        CWinSet record;
        record.m_nType = m_nType;
        record.m_nParam[1] = m_meter.IsOn();
        if (hint == HINT_STORE)
            workspace->AddWinSet(record);
        const CWinSet* stored = workspace->FindWinSet(m_nType);
        if (hint != HINT_RESTORE || !stored || stored->m_nParam[1] == m_meter.IsOn())
            return;
        if (stored->m_nParam[1] == 1)
            return SwitchOn();
        m_doc.MeterOff(false);
        m_meter.SetOn(0);
    }

private:
    CVelmoraDoc& m_doc;
    IMeterSwitch& m_meter;
    std::uint32_t m_nType;
};

class DeviceCycleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver.AddDevice("Line In");
        m_driver.AddDevice("Microphone");
        ASSERT_TRUE(m_capture.CreateThread());
        ASSERT_EQ(m_capture.Device().EnumerateDevices(), 2);
        m_doc.SetPpm(&m_ppm);
        m_doc.SetFft(&m_fft);
        m_host.m_views = { &m_ppmView, &m_fftView };
    }
    bool Opened() { return m_capture.WaitForIdle() && m_capture.m_bOpened.load() == 1; }

    CNoticeRecorder m_notices;
    CTestWaveDriver m_driver; // outlives the capture object
    CAudioCapture m_capture;
    CVelmoraDoc m_doc { m_capture };
    CFakePpm m_ppm;
    CFakeFft m_fft;
    CInstrumentView m_ppmView { m_doc, m_ppm, kTypePpm }, m_fftView { m_doc, m_fft, kTypeAnalyzer };
    CFakeWorkspaceHost m_host;
    CDocCaptureControl m_control { m_doc };
    CWspCommands m_commands { m_host, m_control };
};

// Each reopen keeps exactly the instruments that ran; one that cannot come
// back says so, and the new device id is kept.
TEST_F(DeviceCycleTest, RateAndDeviceChangesWhileCapturingReopenWithTheSameInstrumentsOn)
{
    m_ppmView.SwitchOn();
    ASSERT_TRUE(Opened());
    ASSERT_EQ(std::make_pair(m_driver.LastOpenRate(), m_driver.LastOpenDevice()), std::make_pair(44100, 0));
    EXPECT_TRUE(m_commands.OnCommand(ID_RATE_48000));
    EXPECT_TRUE(Opened());
    EXPECT_EQ((std::vector<int> { m_driver.OpenCount(), m_driver.LastOpenRate(), m_capture.Device().SampleRate() }),
              (std::vector<int> { 2, 48000, 48000 }));
    EXPECT_EQ(m_fft.m_rates, std::vector<int> { 48000 });
    EXPECT_EQ((std::vector<int> { m_ppm.IsOn(), m_fft.IsOn(), m_doc.MeterCount() }), (std::vector<int> { 1, 0, 1 }));
    // Blocks flow again and reach the meter that was switched back on.
    m_ppm.m_events.clear();
    ASSERT_TRUE(m_driver.DeliverBlock(CTestWaveDriver::Block(1200, -1)));
    ASSERT_TRUE(m_capture.WaitForIdle());
    m_doc.ApplyPackets();
    EXPECT_EQ(m_ppm.m_events, (std::vector<std::string> { "value 0 1200", "value 1 0", "tick" }));

    m_fftView.SwitchOn();
    m_commands.OnCommand(ID_DEVICE_FIRST + 1);
    EXPECT_TRUE(Opened());
    EXPECT_EQ((std::vector<int> { m_driver.OpenCount(), m_driver.LastOpenDevice(), m_ppm.IsOn() + m_fft.IsOn(), m_doc.MeterCount() }),
              (std::vector<int> { 3, 1, 2, 2 }));
    EXPECT_TRUE(m_notices.Notices().empty());
    m_driver.SetBusy(true);
    m_commands.OnCommand(ID_DEVICE_FIRST);
    ASSERT_TRUE(m_capture.WaitForIdle());
    EXPECT_EQ((std::vector<int> { m_capture.m_bOpened.load(), m_ppm.IsOn() + m_fft.IsOn(), m_doc.MeterCount(),
                  static_cast<int>(m_notices.Notices().size()), m_capture.Device().DeviceId() }),
              (std::vector<int> { 0, 0, 0, 2, 0 }));
}

} // namespace
