#include "shell/HelpLauncher.h"

#include "shell/ShellIds.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

using namespace ShellIds;

QString CHelpLauncher::ExtractManual()
{
    QFile manual(QString::fromLatin1(kManualResource));
    if (!manual.open(QIODevice::ReadOnly))
        return QString();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return QString();
    const QString path = QDir(folder).filePath(QString::fromLatin1(kManualFileName));
    // Written whole and renamed into place, so a reader never sees half a
    // page and a link planted under that name is replaced, not followed.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(manual.readAll()) < 0 || !out.commit())
        return QString();
    return path;
}

bool CHelpLauncher::OpenHelp()
{
    const QFileInfo chm(QDir::current().filePath(QString::fromLatin1(kHelpFile)));
    if (chm.isFile())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(chm.absoluteFilePath()));
    const QString manual = ExtractManual();
    if (manual.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

bool CHelpLauncher::OpenUrl(const QString& url) { return QDesktopServices::openUrl(QUrl(url)); }
