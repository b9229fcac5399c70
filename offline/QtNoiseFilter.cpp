#include "offline/QtNoiseFilter.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace {
void FilterMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (CQtNoiseFilter::IsNoise(message))
        return;
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    std::fflush(stderr);
    if (type == QtFatalMsg)
        std::abort();
}
}

void CQtNoiseFilter::Install() { qInstallMessageHandler(FilterMessage); }

bool CQtNoiseFilter::IsNoise(const QString& message)
{
    return message.startsWith(QLatin1String("QStandardPaths: ")) && message.contains(QLatin1String("XDG_RUNTIME_DIR"));
}
