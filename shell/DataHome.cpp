#include "shell/DataHome.h"

#include <QDir>

namespace {
constexpr const char* kFolderName = "lumetra";
}

QString CDataHome::Path()
{
    // As the desktop expects: an unset, empty or relative
    // XDG_DATA_HOME is ignored and the default used.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    return QDir(base).filePath(QString::fromLatin1(kFolderName));
}

bool CDataHome::Enter(QString& error)
{
    const QString path = Path();
    if (!QDir().mkpath(path)) {
        error = QStringLiteral("cannot create the folder %1").arg(path);
        return false;
    }
    if (!QDir::setCurrent(path)) {
        error = QStringLiteral("cannot work in the folder %1").arg(path);
        return false;
    }
    return true;
}
