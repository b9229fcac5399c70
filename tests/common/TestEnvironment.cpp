#include "tests/common/TestEnvironment.h"

#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>

QString CTestEnvironment::Folder() { return QDir::currentPath(); }

void CTestEnvironment::ClearSettings()
{
    CSettingsStore::Sync();
    QFile::remove(CSettingsStore::FilePath());
    QFile::remove(QDir::current().filePath(QStringLiteral("cv.wsp")));
    CSettingsStore::Sync();
}
