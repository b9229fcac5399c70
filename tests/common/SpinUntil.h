#pragma once
// Tests that wait for another thread or a timer run the UI thread's event
// loop meanwhile; the limit is a safety net, not a timing check.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <thread>

// Runs the event loop until `done` or `timeoutMs` have passed; what `done` says then.
template <typename Done> bool SpinUntil(Done done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}
