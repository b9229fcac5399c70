// The offline analysis program: the live program's instruments run over
// sound files, without a sound card or a display.
#include "offline/AnalyzeApp.h"
#include "offline/AnalyzeOptions.h"
#include "offline/BytePath.h"
#include "offline/QtNoiseFilter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <cstdlib>
#include <memory>

namespace {
// File names are bytes: taken from argv as they are, so a name that is not
// valid UTF-8 still opens.
QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << CBytePath::Decode(QByteArray(argv[i]));
    return args;
}
}

int main(int argc, char** argv)
{
    CQtNoiseFilter::Install();
    // The models need only a core application (the hub's wake-up lives on
    // its event dispatcher). Pictures are drawn by the display controls,
    // which need a GUI application; the offscreen platform lets them draw
    // with no display at all.
    std::unique_ptr<QCoreApplication> app;
    if (CAnalyzeOptions::Parse(ArgumentsOf(argc, argv)).snapshotDir.isEmpty()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app = std::make_unique<QApplication>(argc, argv);
    }
    // The application takes its own options out of argv; what is left is ours.
    return CAnalyzeApp().Run(ArgumentsOf(argc, argv));
}
