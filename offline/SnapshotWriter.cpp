#include "offline/SnapshotWriter.h"

#include "meters/analyzer/FftCtrl.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/ppm/PpmCtrl.h"
#include "meters/stereo/StereoCtrl.h"
#include "offline/OfflineIds.h"
#include "offline/OfflineInstruments.h"

#include <QDir>
#include <QImage>

namespace {
bool Save(CMeterCtrl& ctrl, const QDir& dir, const char* name, QString& error)
{
    // A pending full repaint runs first, as the screen would show it.
    ctrl.PaintNow();
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (ctrl.BackBuffer().save(path, "PNG"))
        return true;
    error = QStringLiteral("cannot write \"%1\"").arg(path);
    return false;
}
}

bool CSnapshotWriter::Write(COfflineInstruments& instruments, const QString& folder, QString& error)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("cannot make the folder \"%1\"").arg(folder);
        return false;
    }
    return Save(instruments.Ppm(), dir, offline::kPpmSnapshot, error)
        && Save(instruments.Fft(), dir, offline::kAnalyzerSnapshot, error)
        && Save(instruments.Cor(), dir, offline::kCorrelationSnapshot, error)
        && Save(instruments.Stereo(), dir, offline::kStereoSnapshot, error);
}
