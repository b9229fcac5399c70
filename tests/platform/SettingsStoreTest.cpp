#include "platform/SettingsStore.h"

#include <QFile>
#include <gtest/gtest.h>

// Absent entries and non-numeric text read as their defaults; written
// values survive in the ini file under the program's name.
TEST(SettingsStore, ValuesSurviveInTheIniFileAndAbsentOrBadOnesReadAsDefaults)
{
    EXPECT_EQ(CSettingsStore::GetInt(QStringLiteral("Nowhere"), QStringLiteral("Value"), 44100), 44100);
    EXPECT_EQ(CSettingsStore::GetString(QStringLiteral("Nowhere"), QStringLiteral("Active"), QStringLiteral("FFT")), QStringLiteral("FFT"));
    EXPECT_TRUE(CSettingsStore::GetBinary(QStringLiteral("Nowhere"), QStringLiteral("PPM")).isEmpty());
    CSettingsStore::WriteInt(QStringLiteral("PPM"), QStringLiteral("OverColor"), 255);
    CSettingsStore::WriteString(QStringLiteral("Settings"), QStringLiteral("Active"), QStringLiteral("COR"));
    CSettingsStore::WriteString(QStringLiteral("STM"), QStringLiteral("PtCount"), QStringLiteral("many"));
    const QByteArray placement("\x2c\x00\x00\x00\xff\x01", 6);
    CSettingsStore::WriteBinary(QStringLiteral("WinPos"), QStringLiteral("PPM"), placement);
    CSettingsStore::Sync();
    EXPECT_TRUE(CSettingsStore::FilePath().endsWith(QStringLiteral("TARVIX/Tarvix Audio Meter.conf")));
    EXPECT_TRUE(QFile::exists(CSettingsStore::FilePath()));
    EXPECT_EQ(CSettingsStore::GetInt(QStringLiteral("PPM"), QStringLiteral("OverColor"), 0), 255);
    EXPECT_EQ(CSettingsStore::GetString(QStringLiteral("Settings"), QStringLiteral("Active")), QStringLiteral("COR"));
    EXPECT_EQ(CSettingsStore::GetBinary(QStringLiteral("WinPos"), QStringLiteral("PPM")), placement);
    EXPECT_EQ(CSettingsStore::GetInt(QStringLiteral("STM"), QStringLiteral("PtCount"), 512), 512);
}
