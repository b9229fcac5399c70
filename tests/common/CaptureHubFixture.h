#pragma once
// The sample hub on a real capture thread over the scriptable driver, with
// recording instruments and a recording host. A test's SetUp names the
// devices (StartHub); TearDown closes whatever is still open.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/common/SpinUntil.h"
#include "tests/common/FakeMeterSinks.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CRecordingHost : public IDocumentHost {
public:
    void RedrawMainWindow() override {}
    void ShowInputLost(const QString& device) override { m_lost.push_back(device.toStdString()); }
    void ShowDropouts(std::uint64_t count) override { m_dropouts.push_back(count); }
    std::vector<std::string> m_lost;
    std::vector<std::uint64_t> m_dropouts;
};

class CaptureHubFixture : public ::testing::Test {
protected:
    void StartHub(std::initializer_list<const char*> devices)
    {
        for (const char* name : devices)
            driver.AddDevice(name);
        capture = std::make_unique<CAudioCapture>();
        ASSERT_TRUE(capture->CreateThread());
        doc = std::make_unique<CVelmoraDoc>(*capture);
        doc->SetPpm(&ppm);
        doc->SetFft(&fft);
        doc->SetStereo(&stereo);
        doc->SetHost(&host);
        ASSERT_EQ(capture->Device().EnumerateDevices(), static_cast<int>(devices.size()));
    }
    void TearDown() override
    {
        if (!capture)
            return;
        capture->m_bStop = 1;
        if (doc->MeterCount() > 0)
            doc->MeterOff(true);
        doc.reset();
        capture.reset();
    }
    // Delivers one block and waits until the capture thread has handled it.
    void Deliver(std::int16_t left, std::int16_t right)
    {
        ASSERT_TRUE(driver.DeliverBlock(CTestWaveDriver::Block(left, right)));
        ASSERT_TRUE(capture->WaitForIdle());
    }

    CNoticeRecorder notices;
    CTestWaveDriver driver; // outlives the capture object
    std::unique_ptr<CAudioCapture> capture;
    std::unique_ptr<CVelmoraDoc> doc;
    CFakePpm ppm;
    CFakeFft fft;
    CFakeStereo stereo;
    CRecordingHost host;
};
