#include "platform/SettingsStore.h"

#include <QSettings>

namespace {
QSettings& Store()
{
    // One store for the process: QSettings caches and writes back on Sync or exit.
    // On Linux the native format is an INI file named "<application>.conf".
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
        CSettingsStore::kOrganisation, CSettingsStore::kApplication);
    return settings;
}
QString Key(const QString& section, const QString& entry) { return section + QLatin1Char('/') + entry; }
}

int CSettingsStore::GetInt(const QString& section, const QString& entry, int defaultValue)
{
    bool ok = false;
    const int value = Store().value(Key(section, entry)).toString().toInt(&ok);
    return ok ? value : defaultValue;
}

void CSettingsStore::WriteInt(const QString& section, const QString& entry, int value)
{
    Store().setValue(Key(section, entry), QString::number(value));
}

QString CSettingsStore::GetString(const QString& section, const QString& entry, const QString& defaultValue)
{
    const QVariant v = Store().value(Key(section, entry));
    return v.isValid() ? v.toString() : defaultValue;
}

void CSettingsStore::WriteString(const QString& section, const QString& entry, const QString& value)
{
    Store().setValue(Key(section, entry), value);
}

QByteArray CSettingsStore::GetBinary(const QString& section, const QString& entry)
{
    return Store().value(Key(section, entry)).toByteArray();
}

void CSettingsStore::WriteBinary(const QString& section, const QString& entry, const QByteArray& value)
{
    Store().setValue(Key(section, entry), value);
}

bool CSettingsStore::Contains(const QString& section, const QString& entry)
{
    return Store().contains(Key(section, entry));
}

void CSettingsStore::Sync()
{
    Store().sync();
}

QString CSettingsStore::FilePath()
{
    return Store().fileName();
}
