// The program: parses the command line, registers the audio drivers it asks
// for and runs the application until its main window is closed.
#include "Version.h"
#include "shell/CommandLine.h"
#include "shell/DataHome.h"
#include "shell/DemoFirstRun.h"
#include "shell/MainFrame.h"
#include "shell/TerminationWatcher.h"
#include "shell/VelmoraApp.h"
#include "platform/wavein/AudioDrivers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

namespace {
constexpr int kExitScreenshotFailed = 3;

void PrintVersion()
{
    std::printf("Lumetra %d.%d.%d (build %d)\n", LUMETRA_VERSION_MAJOR, LUMETRA_VERSION_MINOR,
        LUMETRA_VERSION_PATCH, LUMETRA_BUILD_NUMBER);
}

// Prints the devices without opening a window; a file that gives no device
// is reported on the error stream instead of in a message box.
int ListDevices(int argc, char** argv, const CCommandLine& line)
{
    QCoreApplication app(argc, argv);
    const AudioDriverRegistration drivers = RegisterAudioDrivers(line.demo, line.inputFile, false);
    if (!drivers.problem.isEmpty())
        std::fprintf(stderr, "lumetra: %s\n", qPrintable(drivers.problem));
    std::fputs(qPrintable(ListDevicesText()), stdout);
    return CCommandLine::kExitOk;
}

// Closes the main window the normal way after the given time, so the whole
// exit runs and writes its files; saves a picture of it first if asked.
void ScheduleQuit(CVelmoraApp& lumetra, const CCommandLine& line, bool& screenshotFailed)
{
    QTimer::singleShot(line.quitAfterMs, [&lumetra, &line, &screenshotFailed] {
        CMainFrame* frame = lumetra.MainFrame();
        if (!line.screenshot.isEmpty() && !frame->grab().save(line.screenshot, "PNG")) {
            std::fprintf(stderr, "lumetra: cannot write %s\n", qPrintable(line.screenshot));
            screenshotFailed = true;
        }
        frame->close();
    });
}

// Moves into the program's own folder; the files named on the command line
// stay the ones the user meant. A folder that cannot be made is reported and
// the current one kept.
void EnterDataHome(CCommandLine& line)
{
    if (!line.inputFile.isEmpty())
        line.inputFile = QDir::current().absoluteFilePath(line.inputFile);
    if (!line.screenshot.isEmpty())
        line.screenshot = QDir::current().absoluteFilePath(line.screenshot);
    QString error;
    if (!CDataHome::Enter(error))
        std::fprintf(stderr, "lumetra: %s; working in %s\n", qPrintable(error), qPrintable(QDir::currentPath()));
}

// Closes every modal window waiting for the user, such as a message box.
void CloseNotices()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isModal() && widget->isVisible())
            widget->close();
    }
}
}

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    CCommandLine line = CCommandLine::Parse(args);

    switch (line.action) {
    case CCommandLine::Action::Help:
        std::fputs(qPrintable(CCommandLine::UsageText()), stdout);
        return CCommandLine::kExitOk;
    case CCommandLine::Action::Usage:
        std::fprintf(stderr, "lumetra: %s\n", qPrintable(line.error));
        std::fputs(qPrintable(CCommandLine::UsageText()), stderr);
        return CCommandLine::kExitUsage;
    case CCommandLine::Action::Version:
        PrintVersion();
        return CCommandLine::kExitOk;
    case CCommandLine::Action::ListDevices:
        return ListDevices(argc, argv, line);
    case CCommandLine::Action::Run:
        break;
    }

    if (line.dataHome)
        EnterDataHome(line);
    CTerminationWatcher::InstallHandlers();
    QApplication app(argc, argv);
    // Wayland compositors and task bars find the menu entry, and its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tarvix.Lumetra"));
    CVelmoraApp lumetra;
    // Ending from outside closes a notice that waits for the user (the start
    // may show one) and then the main window, as the user would.
    bool terminating = false;
    CTerminationWatcher watcher([&lumetra, &terminating] {
        terminating = true;
        CloseNotices();
        if (lumetra.MainFrame() && lumetra.MainFrame()->isVisible())
            lumetra.MainFrame()->close();
    });
    const AudioDriverRegistration drivers = RegisterAudioDrivers(line.demo, line.inputFile);
    if (line.demo)
        CDemoFirstRun::SeedIfFirstRun(drivers.demoDevice);
    if (terminating)
        return CCommandLine::kExitOk; // ended at the input file's notice: nothing started yet
    if (!lumetra.InitInstance()) {
        lumetra.ExitInstance();
        return CCommandLine::kExitNoDevice;
    }
    if (terminating) {
        // Asked to end while the start was still showing a notice.
        lumetra.MainFrame()->close();
        lumetra.ExitInstance();
        return CCommandLine::kExitOk;
    }
    bool screenshotFailed = false;
    if (line.quitAfterMs >= 0)
        ScheduleQuit(lumetra, line, screenshotFailed);
    const int code = app.exec();
    lumetra.ExitInstance();
    return screenshotFailed ? kExitScreenshotFailed : code;
}
