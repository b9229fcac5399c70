// The offline analysis program: the live program's instruments run over
// sound files, without a sound card or a display.
#include "offline/AnalyzeApp.h"

#include <QApplication>
#include <QStringList>
#include <cstdlib>

int main(int argc, char** argv)
{
    // The instruments are widgets; the offscreen platform lets them draw
    // with no display at all.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return CAnalyzeApp().Run(args);
}
