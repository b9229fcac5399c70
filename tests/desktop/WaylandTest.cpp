// The real program under a headless Wayland compositor (weston), on a socket
// and runtime folder of its own.
#include "tests/common/EndWithTest.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(Wayland, DemoRunsAndShowsAPicture)
{
    if (LUMETRA_TSAN_BUILD)
        GTEST_SKIP() << "the Wayland client libraries are not built for ThreadSanitizer; the normal build runs this test";
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty())
        GTEST_SKIP() << "weston is not installed";
    QTemporaryDir runtime;
    QTemporaryDir folder;
    const QString socket = QStringLiteral("lumetra-test");
    // The compositor refuses a runtime folder others may enter.
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess compositor;
    compositor.setProcessEnvironment(env);
    compositor.setProcessChannelMode(QProcess::MergedChannels);
    EndWithTest(compositor);
    compositor.start(weston, { QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + socket,
                               QStringLiteral("--idle-time=0"), QStringLiteral("--width=1024"), QStringLiteral("--height=768") });
    // Ready once its socket exists; the limit is a safety net.
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(runtime.filePath(socket)) && !compositor.waitForFinished(50) && timer.elapsed() < 20000)
        QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(runtime.filePath(socket))) << qPrintable(QString::fromLocal8Bit(compositor.readAll()));

    env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), folder.filePath(QStringLiteral("cache")));
    env.remove(QStringLiteral("DISPLAY"));
    QProcess lumetra;
    lumetra.setProcessEnvironment(env);
    lumetra.setWorkingDirectory(folder.path());
    EndWithTest(lumetra);
    lumetra.start(QStringLiteral(LUMETRA_PROGRAM), { "--demo", "--quit-after", "3000", "--screenshot", "shot.png" });
    ASSERT_TRUE(lumetra.waitForFinished(60000)) << "the program did not end";
    const QString err = QString::fromLocal8Bit(lumetra.readAllStandardError());
    EXPECT_TRUE(lumetra.exitStatus() == QProcess::NormalExit && lumetra.exitCode() == 0) << qPrintable(err);
    EXPECT_FALSE(err.contains(QStringLiteral("Could not load the Qt platform plugin"))) << qPrintable(err);

    const QImage shot(folder.filePath(QStringLiteral("shot.png")));
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.width() >= 640 && shot.height() >= 480) << shot.width() << "x" << shot.height();
    // The instruments, their captions and the menu bar give many colours; a
    // blank or black window gives one or two.
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 16);
    compositor.terminate();
    compositor.waitForFinished(5000);
}
