#include "shell/CommandLine.h"
#include "shell/DataHome.h"

#include <QDir>
#include <gtest/gtest.h>

#include <utility>

TEST(CommandLine, EachOptionLandsInItsFieldAndBadLinesAreRefused)
{
    using A = CCommandLine::Action;
    const struct {
        QStringList args;
        A action;
        bool demo, dataHome;
        const char* input;
        int quitAfterMs;
        const char* screenshot;
    } cases[] = {
        { {}, A::Run, false, false, "", -1, "" }, // runs until the user closes it
        { { "--demo", "--input", "tone.wav", "--quit-after", "1500", "--screenshot", "shot.png" }, A::Run, true, false,
          "tone.wav", 1500, "shot.png" },
        { { "--data-home", "--quit-after", "0" }, A::Run, false, true, "", 0, "" },
        // The device list keeps the driver options; the version outranks it.
        { { "--list-devices", "--demo", "--input", "a.wav" }, A::ListDevices, true, false, "a.wav", -1, "" },
        { { "--demo", "--version", "--list-devices" }, A::Version, true, false, "", -1, "" },
        { { "-h" }, A::Help, false, false, "", -1, "" },
        // Qt's own options pass through, with their values.
        { { "-platform", "offscreen", "-reverse", "--demo" }, A::Run, true, false, "", -1, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CCommandLine line = CCommandLine::Parse(c.args);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.demo, c.demo);
        EXPECT_EQ(line.dataHome, c.dataHome);
        EXPECT_EQ(line.inputFile, QString::fromLatin1(c.input));
        EXPECT_EQ(line.quitAfterMs, c.quitAfterMs);
        EXPECT_EQ(line.screenshot, QString::fromLatin1(c.screenshot));
    }
    const QStringList bad[] = { { "--bogus" }, { "stray" }, { "--input" }, { "--screenshot" }, { "--quit-after" },
        { "--quit-after", "soon" }, { "--quit-after", "-5" }, { "--demo=yes" } };
    for (const QStringList& args : bad) {
        const CCommandLine line = CCommandLine::Parse(args);
        EXPECT_EQ(line.action, A::Usage) << qPrintable(args.join(QLatin1Char(' ')));
        EXPECT_TRUE(line.error.contains(args[0])) << qPrintable(line.error);
    }
}

// "--data-home" works below XDG_DATA_HOME when that is an absolute path; an
// empty or relative one is ignored for ~/.local/share, as the desktop does.
TEST(DataHome, OnlyAnAbsoluteXdgDataHomeIsTaken)
{
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const QString fallback = QDir::home().filePath(QStringLiteral(".local/share/lumetra"));
    const std::pair<const char*, QString> cases[] = {
        { "", fallback }, { "relative/share", fallback }, { "/srv/share", QStringLiteral("/srv/share/lumetra") } };
    for (const auto& [base, expected] : cases) {
        qputenv("XDG_DATA_HOME", base);
        EXPECT_EQ(CDataHome::Path(), expected) << base;
    }
    if (wasSet)
        qputenv("XDG_DATA_HOME", saved);
    else
        qunsetenv("XDG_DATA_HOME");
}
