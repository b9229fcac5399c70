#pragma once
// A whole application on the test driver: two input devices ("Line In",
// "USB Mic"), no settings and no workspace file at the first start, notices
// recorded instead of shown.
#include "audio/AudioCapture.h"
#include "meters/common/MeterView.h"
#include "platform/Notices.h"
#include "platform/Rect.h"
#include "platform/wavein/TestWaveDriver.h"
#include "shell/MainFrame.h"
#include "shell/VelmoraApp.h"
#include "tests/common/TestEnvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

class ShellAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTestEnvironment::ClearSettings();
        m_driver = std::make_unique<CTestWaveDriver>();
        m_driver->AddDevice("Line In");
        m_driver->AddDevice("USB Mic");
    }
    void TearDown() override
    {
        if (m_app)
            Stop();
    }
    bool Start()
    {
        m_app = std::make_unique<CVelmoraApp>();
        const bool started = m_app->InitInstance();
        ProcessEvents();
        return started;
    }
    // The normal end: the main window closes, then the application's exit.
    void Stop()
    {
        if (m_app->MainFrame() && m_app->Document())
            m_app->MainFrame()->close();
        m_app->ExitInstance();
        m_app.reset();
        ProcessEvents();
    }
    CMainFrame& Main() { return *m_app->MainFrame(); }
    int ActiveType() const { return static_cast<CMeterView*>(m_app->ActiveView())->InstrumentType(); }
    static void ProcessEvents()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    // A left-button press (or release) at the middle of `r`, in the frame's coordinates.
    static void Press(QWidget* frame, const CRect& r, QEvent::Type type = QEvent::MouseButtonPress)
    {
        const QPointF pos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QMouseEvent event(type, pos, frame->mapToGlobal(pos), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
        ProcessEvents();
    }
    bool Ticking() const { return m_app->Capture().m_bPostTick.load() == 1; }
    // Runs the event loop until `done` holds or a generous limit passes (a safety net, not a timing check).
    static bool WaitFor(const std::function<bool()>& done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    CNoticeRecorder m_notices;
    std::unique_ptr<CTestWaveDriver> m_driver; // outlives the application
    std::unique_ptr<CVelmoraApp> m_app;
};
