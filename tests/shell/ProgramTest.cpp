// The real program, run headless.
#include "tests/common/EndWithTest.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {
const QStringList kInstruments = { QStringLiteral("PPM"), QStringLiteral("COR"), QStringLiteral("FFT"), QStringLiteral("STM") };

struct CRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Started in `folder`, with its own settings, cache and data folders there.
void Start(QProcess& process, const QStringList& args, const QString& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char* kind : { "CONFIG", "CACHE", "DATA" })
        env.insert(QStringLiteral("XDG_%1_HOME").arg(QLatin1String(kind)), QDir(folder).filePath(QString::fromLatin1(kind).toLower()));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    EndWithTest(process);
    process.start(QStringLiteral(LUMETRA_PROGRAM), args);
}

CRun RunLumetra(const QStringList& args, const QString& folder)
{
    QProcess process;
    Start(process, args, folder);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        return {};
    }
    return { process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
             QString::fromLocal8Bit(process.readAllStandardError()) };
}

// True once the process catches SIGTERM: from then on a termination signal
// takes the normal close, whatever the start is doing.
bool WaitUntilItCatchesTermination(const QProcess& process)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    for (int wait = 0; wait < 600 && status.open(QIODevice::ReadOnly); ++wait) {
        const QByteArray text = status.readAll();
        status.close();
        const qsizetype at = text.indexOf("SigCgt:");
        if (at >= 0 && (text.mid(at + 7, 17).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1) & 1))
            return true;
        QThread::msleep(20);
    }
    return false;
}

// A 0.1 s silent 16-bit stereo WAV file at 44100 Hz: a device without --demo
// that any machine offers, sound card or not.
bool WriteSilence(const QString& folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("silence.wav")));
    const QByteArray header = QByteArray::fromHex("524946460C45000057415645666d74201000000001000200"
                                                  "44AC000010B102000400100064617461E8440000");
    return file.open(QIODevice::WriteOnly) && file.write(header + QByteArray(17640, '\0')) == 44 + 17640;
}

QString ConfPath(const QString& folder) { return QDir(folder).filePath(QStringLiteral("config/TARVIX/Tarvix Audio Meter.conf")); }

// The id the device list gives "Demo: Music mix".
int MusicMixId(const QString& folder)
{
    const CRun list = RunLumetra({ "--list-devices", "--demo" }, folder);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(-?\\d+): Demo: Music mix$"),
        QRegularExpression::MultilineOption).match(list.out);
    return m.hasMatch() ? m.captured(1).toInt() : -100;
}
}

// A screenshot named relative to where it was asked for lands there; the
// workspace file goes to the current folder, or with --data-home below the data home.
TEST(Program, FirstStartSeedsOnlyADemoStartWithNoSettingsAndWritesItsFilesAtTheEnd)
{
    const struct {
        const char* name;
        QStringList args;
        bool storedSettings; // from an earlier run: the device after the music mix, analyzer off, the rest on
        int deviceAfterMusicMix; // the device the run ends with, counted from the music mix; 100: device 0
        int expectedOn[4];       // PPM, COR, FFT, STM
        const char* workspaceFile;
    } cases[] = { { "demo without settings", { "--demo" }, false, 0, { 1, 1, 1, 1 }, "cv.wsp" },
        { "demo with stored settings", { "--demo" }, true, 1, { 1, 1, 0, 1 }, "cv.wsp" },
        { "plain first start", { "--input", "silence.wav" }, false, 100, { 0, 0, 0, 0 }, "cv.wsp" },
        { "data home", { "--demo", "--data-home" }, false, 0, { 1, 1, 1, 1 }, "data/lumetra/cv.wsp" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        ASSERT_TRUE(WriteSilence(folder.path()));
        const int musicMix = MusicMixId(folder.path());
        ASSERT_GE(musicMix, 0);
        if (c.storedSettings) {
            QSettings stored(ConfPath(folder.path()), QSettings::IniFormat);
            stored.setValue(QStringLiteral("Settings/Device"), musicMix + 1);
            for (const QString& section : kInstruments)
                stored.setValue(section + QStringLiteral("/Status"), section == QLatin1String("FFT") ? 0 : 1);
        }
        const QStringList args = QStringList { "--quit-after", "0", "--screenshot", "shot.png" } + c.args;
        const CRun run = RunLumetra(args, folder.path());
        ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
        EXPECT_EQ(QImage(folder.filePath(QStringLiteral("shot.png"))).size(), QSize(640, 480));
        // Eight never-stored workspaces.
        EXPECT_EQ(QFile(folder.filePath(QString::fromLatin1(c.workspaceFile))).size(), 834);
        EXPECT_EQ(QFile::exists(folder.filePath(QStringLiteral("cv.wsp"))), c.workspaceFile == std::string("cv.wsp"));
        // What the run wrote at its end is what it ran with.
        QSettings stored(ConfPath(folder.path()), QSettings::IniFormat);
        EXPECT_EQ(stored.value(QStringLiteral("Settings/Device")).toInt(), c.deviceAfterMusicMix == 100 ? 0 : musicMix + c.deviceAfterMusicMix);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(stored.value(kInstruments[i] + QStringLiteral("/Status")).toInt(), c.expectedOn[i]) << qPrintable(kInstruments[i]);
    }
}

TEST(Program, QuickCommandsEndAtOnceWithTheirStatusAndWriteNothing)
{
    const struct {
        QStringList args;
        int exitCode;
        bool onStdout;
        QStringList says;
    } cases[] = {
        { { "--version" }, 0, true, { "Lumetra " } },
        { { "--help" }, 0, true, { "Usage: lumetra", "--quit-after MS" } },
        { { "--frobnicate" }, 2, false, { "Usage: lumetra", "--frobnicate" } },
        { { "--quit-after", "soon" }, 2, false, { "--quit-after needs" } },
    };
    QTemporaryDir folder;
    for (const auto& c : cases) {
        const CRun run = RunLumetra(c.args, folder.path());
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run.exitCode, c.exitCode);
        for (const QString& words : c.says)
            EXPECT_TRUE((c.onStdout ? run.out : run.err).contains(words)) << qPrintable(run.out + run.err);
    }
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("cv.wsp"))));
}

TEST(Program, TerminationSignalClosesNormallyAtAnyPointOfTheStart)
{
    // A demo run ends only when asked to; a missing input file stops the
    // start at a notice that waits for the user.
    for (const bool atNotice : { false, true }) {
        SCOPED_TRACE(atNotice ? "at the notice" : "running");
        QTemporaryDir folder;
        QProcess process;
        Start(process, atNotice ? QStringList { "--input", "missing.wav" } : QStringList { "--demo" }, folder.path());
        ASSERT_TRUE(WaitUntilItCatchesTermination(process));
        process.terminate(); // SIGTERM
        ASSERT_TRUE(process.waitForFinished(30000)) << "the program hung";
        EXPECT_TRUE(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0);
        if (!atNotice) { // the normal close writes the settings and the workspace file
            EXPECT_EQ(QSettings(ConfPath(folder.path()), QSettings::IniFormat).value(QStringLiteral("Settings/MsgDecay")).toInt(), 1);
            EXPECT_EQ(QFile(folder.filePath(QStringLiteral("cv.wsp"))).size(), 834);
        }
    }
}
