#pragma once
// What every view test sets up: a scriptable input device (one device,
// "Line In"), the capture thread and the hub, and stand-ins for the view's
// frame and host; each test starts without stored settings.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"
#include "tests/common/FakeViewFrame.h"
#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

class CViewTestBench : public ::testing::Test {
protected:
    CViewTestBench() : doc(capture), host(doc)
    {
        CTestEnvironment::ClearSettings();
        driver.AddDevice("Line In");
        capture.CreateThread();
        capture.Device().EnumerateDevices();
    }

    // A view as the shell makes it: constructed, sized, framed, initially updated.
    template <typename TView>
    std::unique_ptr<TView> CreateView(int width, int height, CFakeViewFrame& viewFrame)
    {
        auto view = std::make_unique<TView>(host);
        view->resize(width, height);
        view->SetFrame(&viewFrame);
        view->OnInitialUpdate();
        return view;
    }

    CNoticeRecorder notices;
    CTestWaveDriver driver; // outlives the capture object
    CAudioCapture capture;
    CVelmoraDoc doc;
    CFakeViewHost host;
    CFakeViewFrame frame;
};
