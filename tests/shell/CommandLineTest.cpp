#include "shell/CommandLine.h"

#include <gtest/gtest.h>

namespace {
CCommandLine Parse(std::initializer_list<const char*> args)
{
    QStringList list;
    for (const char* a : args)
        list << QString::fromLatin1(a);
    return CCommandLine::Parse(list);
}
}

TEST(CommandLine, NoOptionsRunsThePlainProgram)
{
    const CCommandLine line = Parse({});
    EXPECT_EQ(line.action, CCommandLine::Action::Run);
    EXPECT_FALSE(line.demo);
    EXPECT_TRUE(line.inputFile.isEmpty());
    EXPECT_EQ(line.quitAfterMs, -1);
}

TEST(CommandLine, RunOptionsAreTakenWithTheirValues)
{
    const CCommandLine line = Parse({ "--demo", "--input", "tone.wav", "--quit-after", "1500", "--screenshot", "shot.png" });
    EXPECT_EQ(line.action, CCommandLine::Action::Run);
    EXPECT_TRUE(line.demo);
    EXPECT_EQ(line.inputFile, QStringLiteral("tone.wav"));
    EXPECT_EQ(line.quitAfterMs, 1500);
    EXPECT_EQ(line.screenshot, QStringLiteral("shot.png"));
    EXPECT_FALSE(line.dataHome);
    EXPECT_TRUE(Parse({ "--data-home" }).dataHome);
}

TEST(CommandLine, ListDevicesKeepsTheDriverOptions)
{
    const CCommandLine line = Parse({ "--list-devices", "--demo", "--input", "a.wav" });
    EXPECT_EQ(line.action, CCommandLine::Action::ListDevices);
    EXPECT_TRUE(line.demo);
    EXPECT_EQ(line.inputFile, QStringLiteral("a.wav"));
    EXPECT_EQ(Parse({ "--demo", "--version", "--list-devices" }).action, CCommandLine::Action::Version);
}

TEST(CommandLine, UnknownOptionsAndMissingValuesAreRefused)
{
    EXPECT_EQ(Parse({ "--bogus" }).action, CCommandLine::Action::Usage);
    EXPECT_EQ(Parse({ "stray" }).action, CCommandLine::Action::Usage);
    EXPECT_EQ(Parse({ "--input" }).action, CCommandLine::Action::Usage);
    EXPECT_EQ(Parse({ "--screenshot" }).action, CCommandLine::Action::Usage);
    EXPECT_EQ(Parse({ "--quit-after" }).action, CCommandLine::Action::Usage);
    EXPECT_EQ(Parse({ "--quit-after", "soon" }).action, CCommandLine::Action::Usage);
    EXPECT_EQ(Parse({ "--quit-after", "-5" }).action, CCommandLine::Action::Usage);
    EXPECT_TRUE(Parse({ "--bogus" }).error.contains(QStringLiteral("--bogus")));
}

TEST(CommandLine, QtOwnOptionsPassThrough)
{
    const CCommandLine line = Parse({ "-platform", "offscreen", "-reverse", "--demo" });
    EXPECT_EQ(line.action, CCommandLine::Action::Run);
    EXPECT_TRUE(line.demo);
}
