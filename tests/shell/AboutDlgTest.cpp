#include "shell/AboutAnimation.h"
#include "shell/AboutDlg.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

TEST(AboutDlg, ShowsTitleVersionWithBuildAndBetaAndSystem)
{
    EXPECT_EQ(CAboutDlg::FormatVersionText(2, 1, 2, 37), QStringLiteral("Version 2.1  Build 37  Beta"));
    EXPECT_EQ(CAboutDlg::FormatVersionText(3, 12, 1, 405), QStringLiteral("Version 3.12  Build 405  "));
    CAboutDlg dlg(QStringLiteral("Version 2.1  Build 37  Beta"), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Info about Lumetra"));
    EXPECT_EQ(dlg.VersionLine(), QStringLiteral("Version 2.1  Build 37  Beta"));
    EXPECT_EQ(dlg.OsLine(), QStringLiteral("running on : Debian GNU/Linux 12 (bookworm)"));
    EXPECT_TRUE(dlg.isModal());
}

// The frames differ (the bars rise as it runs); it plays once and stops on the last.
TEST(AboutAnimation, PlaysOnceFromFirstToLastFrameAndStops)
{
    CAboutAnimation animation;
    ASSERT_GT(animation.FrameCount(), 1);
    EXPECT_NE(animation.Frame(0), animation.Frame(animation.FrameCount() - 1));
    QEventLoop loop;
    QObject::connect(&animation, &CAboutAnimation::Finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit); // a safety net, not a timing check
    animation.Play();
    EXPECT_EQ(animation.CurrentFrame(), 0);
    loop.exec();
    EXPECT_FALSE(animation.IsPlaying());
    EXPECT_EQ(animation.CurrentFrame(), animation.FrameCount() - 1);
}
