// The offline analysis program: the live program's instruments run over
// sound files, without a sound card or a display.
#include "offline/AnalyzeApp.h"
#include "offline/BytePath.h"
#include "offline/QtNoiseFilter.h"

#include <QApplication>
#include <QStringList>
#include <cstdlib>

int main(int argc, char** argv)
{
    // The instruments are widgets; the offscreen platform lets them draw
    // with no display at all.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    CQtNoiseFilter::Install();
    QApplication app(argc, argv);
    // File names are bytes: taken from argv as they are, so a name that is
    // not valid UTF-8 still opens.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << CBytePath::Decode(QByteArray(argv[i]));
    return CAnalyzeApp().Run(args);
}
