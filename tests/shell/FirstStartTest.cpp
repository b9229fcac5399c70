// The real program's first start: what --demo seeds, that stored settings win
// afterwards, and the working folder --data-home gives it.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

namespace {
const QStringList kInstruments = { QStringLiteral("PPM"), QStringLiteral("COR"), QStringLiteral("FFT"), QStringLiteral("STM") };

QProcessEnvironment Environment(const QString& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder).filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), QDir(folder).filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(folder).filePath(QStringLiteral("data")));
    return env;
}

QString RunLumetra(const QStringList& args, const QString& folder, const QString& workFolder, int* exitCode = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(Environment(folder));
    process.setWorkingDirectory(workFolder);
    process.start(QStringLiteral(LUMETRA_PROGRAM), args);
    const bool finished = process.waitForFinished(60000);
    if (!finished)
        process.kill();
    if (exitCode)
        *exitCode = finished ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// A short silent 16-bit stereo WAV file: a device without --demo that any
// machine offers, sound card or not.
QString WriteSilence(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("silence.wav"));
    const quint32 dataBytes = 44100 * 4 / 10;
    QByteArray wav;
    auto u32 = [&wav](quint32 v) { for (int i = 0; i < 4; ++i) wav.append(char((v >> (8 * i)) & 0xFF)); };
    auto u16 = [&wav](quint16 v) { wav.append(char(v & 0xFF)); wav.append(char(v >> 8)); };
    wav.append("RIFF"); u32(36 + dataBytes); wav.append("WAVEfmt ");
    u32(16); u16(1); u16(2); u32(44100); u32(44100 * 4); u16(4); u16(16);
    wav.append("data"); u32(dataBytes); wav.append(QByteArray(int(dataBytes), '\0'));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size())
        return QString();
    return path;
}

QString ConfPath(const QString& folder) { return QDir(folder).filePath(QStringLiteral("config/TARVIX/Tarvix Audio Meter.conf")); }

// The id the device list gives "Demo: Music mix".
int MusicMixId(const QString& folder)
{
    const QString list = RunLumetra({ QStringLiteral("--list-devices"), QStringLiteral("--demo") }, folder, folder);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(-?\\d+): Demo: Music mix$"),
        QRegularExpression::MultilineOption).match(list);
    return m.hasMatch() ? m.captured(1).toInt() : -100;
}

struct FirstStartCase {
    const char* name;
    bool demo;
    bool storedSettings; // a settings file from an earlier run: the device after the music mix, analyzer off, the rest on
    int expectedDevice;  // -2: the music mix's id, -3: the device after it
    int expectedOn[4];   // PPM, COR, FFT, STM
};

void PrintTo(const FirstStartCase& c, std::ostream* os) { *os << c.name; }

class FirstStart : public ::testing::TestWithParam<FirstStartCase> {};

TEST_P(FirstStart, SeedsOnlyADemoStartWithNoSettings)
{
    const FirstStartCase& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const int musicMix = MusicMixId(folder.path());
    ASSERT_GE(musicMix, 0);
    if (c.storedSettings) {
        QDir().mkpath(QFileInfo(ConfPath(folder.path())).path());
        QSettings stored(ConfPath(folder.path()), QSettings::IniFormat);
        stored.setValue(QStringLiteral("Settings/Device"), musicMix + 1);
        for (const QString& section : kInstruments)
            stored.setValue(section + QStringLiteral("/Status"), section == QLatin1String("FFT") ? 0 : 1);
    }
    QStringList args = { QStringLiteral("--quit-after"), QStringLiteral("800") };
    if (c.demo)
        args << QStringLiteral("--demo");
    else
        args << QStringLiteral("--input") << WriteSilence(folder.path());
    int exitCode = -1;
    RunLumetra(args, folder.path(), folder.path(), &exitCode);
    ASSERT_EQ(exitCode, 0);

    // What the run wrote at its end is what it ran with.
    QSettings stored(ConfPath(folder.path()), QSettings::IniFormat);
    const int device = c.expectedDevice == -2 ? musicMix : c.expectedDevice == -3 ? musicMix + 1 : c.expectedDevice;
    EXPECT_EQ(stored.value(QStringLiteral("Settings/Device")).toInt(), device);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(stored.value(kInstruments[i] + QStringLiteral("/Status")).toInt(), c.expectedOn[i]) << qPrintable(kInstruments[i]);
}

INSTANTIATE_TEST_SUITE_P(Program, FirstStart, ::testing::Values(
    FirstStartCase { "DemoWithoutSettings", true, false, -2, { 1, 1, 1, 1 } },
    FirstStartCase { "DemoWithStoredSettings", true, true, -3, { 1, 1, 0, 1 } },
    FirstStartCase { "PlainFirstStart", false, false, 0, { 0, 0, 0, 0 } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Program, DataHomeKeepsTheWorkspaceFileInTheProgramsOwnFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString dataFolder = QDir(folder.path()).filePath(QStringLiteral("data/lumetra"));
    ASSERT_FALSE(QFileInfo::exists(dataFolder));
    int exitCode = -1;
    // A screenshot named relative to where it was asked for lands there.
    RunLumetra({ QStringLiteral("--data-home"), QStringLiteral("--demo"), QStringLiteral("--quit-after"), QStringLiteral("500"),
          QStringLiteral("--screenshot"), QStringLiteral("shot.png") }, folder.path(), folder.path(), &exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(QFile(QDir(dataFolder).filePath(QStringLiteral("cv.wsp"))).size(), 834);
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("cv.wsp"))));
    EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("shot.png"))));

    // Started from a terminal without it, the current folder holds the file.
    RunLumetra({ QStringLiteral("--demo"), QStringLiteral("--quit-after"), QStringLiteral("300") }, folder.path(), folder.path(), &exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(QFile(QDir(folder.path()).filePath(QStringLiteral("cv.wsp"))).size(), 834);
}
}
