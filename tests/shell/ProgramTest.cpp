// Runs the real program headless and checks what it leaves behind.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct CRun {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
};

CRun RunProgram(const QStringList& args, const QString& folder, int timeoutMs = 60000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder).filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), QDir(folder).filePath(QStringLiteral("cache")));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(LUMETRA_PROGRAM), args);
    CRun run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished)
        process.kill();
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
}

TEST(Program, DemoRunClosesNormallyAndWritesItsFiles)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const CRun run = RunProgram({ "--demo", "--quit-after", "1500", "--screenshot", "shot.png" }, folder.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);

    QImage shot(QDir(folder.path()).filePath(QStringLiteral("shot.png")));
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(640, 480));

    const QString conf = QDir(folder.path()).filePath(QStringLiteral("config/TARVIX/Tarvix Audio Meter.conf"));
    ASSERT_TRUE(QFile::exists(conf));
    QSettings stored(conf, QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/Priority")).toInt(), 1);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/MsgDecay")).toInt(), 1);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/SampleRate")).toInt(), 44100);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/Active")).toString(), QStringLiteral("FFT"));
    EXPECT_EQ(stored.value(QStringLiteral("Settings/Position")).toByteArray().size(), 44);
    EXPECT_EQ(QFile(QDir(folder.path()).filePath(QStringLiteral("cv.wsp"))).size(), 834);
}

TEST(Program, VersionAndDeviceListEndAtOnce)
{
    QTemporaryDir folder;
    const CRun version = RunProgram({ "--version" }, folder.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("Lumetra "))) << qPrintable(version.out);

    const CRun list = RunProgram({ "--list-devices", "--demo" }, folder.path());
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains(QStringLiteral("-1: "))) << qPrintable(list.out);
    EXPECT_TRUE(list.out.contains(QStringLiteral("Demo: "))) << qPrintable(list.out);
    // Nothing was started, so nothing was written.
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("cv.wsp"))));
}

TEST(Program, UnknownOptionPrintsTheUsageAndExitsWithTwo)
{
    QTemporaryDir folder;
    const CRun run = RunProgram({ "--frobnicate" }, folder.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Usage: lumetra"))) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--frobnicate")));
}

TEST(Program, TerminationSignalClosesNormallyAndKeepsTheSettings)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder.path()).filePath(QStringLiteral("config")));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(LUMETRA_PROGRAM), { QStringLiteral("--demo") });
    ASSERT_TRUE(process.waitForStarted());
    // Still running after a while: it does not end by itself.
    EXPECT_FALSE(process.waitForFinished(1000));
    process.terminate(); // SIGTERM
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    QSettings stored(QDir(folder.path()).filePath(QStringLiteral("config/TARVIX/Tarvix Audio Meter.conf")), QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/MsgDecay")).toInt(), 1);
    EXPECT_EQ(QFile(QDir(folder.path()).filePath(QStringLiteral("cv.wsp"))).size(), 834);
}

TEST(Program, TerminationSignalEndsAStartThatWaitsAtANotice)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder.path()).filePath(QStringLiteral("config")));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder.path());
    // A missing input file is reported in a message box that waits for the user.
    process.start(QStringLiteral(LUMETRA_PROGRAM), { QStringLiteral("--input"), folder.filePath(QStringLiteral("missing.wav")) });
    ASSERT_TRUE(process.waitForStarted());
    EXPECT_FALSE(process.waitForFinished(1500));
    process.terminate(); // SIGTERM
    ASSERT_TRUE(process.waitForFinished(30000)) << "the program hung at its notice";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
}
