#include "shell/AboutAnimation.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

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
