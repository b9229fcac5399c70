// The offline analysis program: the live program's instruments run over
// sound files, without a sound card or a display.
#include "offline/AnalyzeApp.h"
#include "offline/AnalyzeOptions.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    // The models need only a core application (the hub's wake-up lives on
    // its event dispatcher). Pictures are drawn by the display controls,
    // which need a GUI application; the offscreen platform lets them draw
    // with no display at all.
    std::unique_ptr<QCoreApplication> app;
    if (CAnalyzeOptions::Parse(args).snapshotDir.isEmpty()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app = std::make_unique<QApplication>(argc, argv);
    }
    args = QCoreApplication::arguments();
    args.removeFirst();
    return CAnalyzeApp().Run(args);
}
