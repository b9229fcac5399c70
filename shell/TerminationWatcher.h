#pragma once
// Turns a request to end the program from outside (SIGTERM, SIGINT, SIGHUP:
// a logout, kill, Ctrl+C in the terminal) into the normal close of the main
// window, so the settings and the workspace file are written as when the
// user closes it. The signal handler only writes a byte to a pipe; the UI
// thread reads it in its event loop. A second signal ends the program at
// once, as the system's default for that signal would, in case the close hangs.
//
// InstallHandlers() runs once, early in main(); the watcher is made on the UI
// thread once the QApplication exists. A signal that comes in between waits
// in the pipe.
#include <QObject>
#include <functional>

class QSocketNotifier;

class CTerminationWatcher : public QObject {
    Q_OBJECT
public:
    static bool InstallHandlers();

    explicit CTerminationWatcher(std::function<void()> onTerminate, QObject* parent = nullptr);

private:
    void OnSignal();

    QSocketNotifier* m_pNotifier = nullptr;
    std::function<void()> m_onTerminate;
};
