#pragma once
// The per-user settings store: integers, strings and byte arrays by section
// and value name, each read with a default. Backed by an INI file
// ($XDG_CONFIG_HOME/TARVIX/Tarvix Audio Meter.conf). UI thread only.
#include <QByteArray>
#include <QString>

class CSettingsStore {
public:
    static constexpr const char* kOrganisation = "TARVIX";
    static constexpr const char* kApplication = "Tarvix Audio Meter";

    static int GetInt(const QString& section, const QString& entry, int defaultValue);
    static void WriteInt(const QString& section, const QString& entry, int value);
    static QString GetString(const QString& section, const QString& entry, const QString& defaultValue = QString());
    static void WriteString(const QString& section, const QString& entry, const QString& value);
    // An absent entry reads as an empty array.
    static QByteArray GetBinary(const QString& section, const QString& entry);
    static void WriteBinary(const QString& section, const QString& entry, const QByteArray& value);
    static bool Contains(const QString& section, const QString& entry);
    // Flushes pending writes to the file.
    static void Sync();
    // The file the store lives in.
    static QString FilePath();
};
