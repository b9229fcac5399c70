// The offline program's command line: first-run defaults, the menu words,
// and the lines it must refuse.
#include "offline/AnalyzeOptions.h"

#include <gtest/gtest.h>

namespace {
CAnalyzeOptions Parse(const QStringList& args) { return CAnalyzeOptions::Parse(args); }
}

TEST(AnalyzeOptions, DefaultsAreTheLiveProgramsFirstRun)
{
    const CAnalyzeOptions o = Parse({ QStringLiteral("a.wav") });
    ASSERT_EQ(o.action, CAnalyzeOptions::Action::Run);
    EXPECT_EQ(o.ppmDecayTime, 20u); // "Medium"
    EXPECT_EQ(o.ppmPeakMode, 1);    // peak hold
    EXPECT_EQ(o.fftWindow, 3);      // "Blackman"
    EXPECT_EQ(o.fftInput, 0);       // "Left + Right"
    EXPECT_FALSE(o.timeline);
    EXPECT_TRUE(o.jsonPath.isEmpty());
    EXPECT_TRUE(o.snapshotDir.isEmpty());
}

TEST(AnalyzeOptions, WordsMapToTheMenusValues)
{
    const CAnalyzeOptions o = Parse({ QStringLiteral("--ppm-decay"), QStringLiteral("slow"),
        QStringLiteral("--ppm-peak=none"), QStringLiteral("--fft-window"), QStringLiteral("hamming"),
        QStringLiteral("--fft-input=diff"), QStringLiteral("--timeline"), QStringLiteral("--json"),
        QStringLiteral("out.json"), QStringLiteral("--snapshot=pics"), QStringLiteral("x.wav"),
        QStringLiteral("y.flac") });
    ASSERT_EQ(o.action, CAnalyzeOptions::Action::Run) << qPrintable(o.error);
    EXPECT_EQ(o.ppmDecayTime, 30u);
    EXPECT_EQ(o.ppmPeakMode, 0);
    EXPECT_EQ(o.fftWindow, 6);
    EXPECT_EQ(o.fftInput, 3);
    EXPECT_TRUE(o.timeline);
    EXPECT_EQ(o.jsonPath, QStringLiteral("out.json"));
    EXPECT_EQ(o.snapshotDir, QStringLiteral("pics"));
    EXPECT_EQ(o.files, (QStringList { QStringLiteral("x.wav"), QStringLiteral("y.flac") }));

    EXPECT_EQ(Parse({ QStringLiteral("--ppm-decay=fast"), QStringLiteral("a") }).ppmDecayTime, 10u);
    EXPECT_EQ(Parse({ QStringLiteral("--ppm-peak=decay"), QStringLiteral("a") }).ppmPeakMode, 2);
    EXPECT_EQ(Parse({ QStringLiteral("--fft-window=rectangular"), QStringLiteral("a") }).fftWindow, 0);
    EXPECT_EQ(Parse({ QStringLiteral("--fft-window=welch"), QStringLiteral("a") }).fftWindow, 5);
    EXPECT_EQ(Parse({ QStringLiteral("--fft-input=right"), QStringLiteral("a") }).fftInput, 2);
    EXPECT_EQ(Parse({ QStringLiteral("a") }).ppmBallistics, 0);
    EXPECT_EQ(Parse({ QStringLiteral("--ppm-ballistics"), QStringLiteral("true"), QStringLiteral("a") }).ppmBallistics, 1);
    EXPECT_EQ(Parse({ QStringLiteral("--ppm-ballistics=nordic"), QStringLiteral("a") }).ppmBallistics, 3);
    EXPECT_EQ(Parse({ QStringLiteral("--ppm-ballistics=ebu"), QStringLiteral("a") }).ppmBallistics, 5);
    EXPECT_EQ(Parse({ QStringLiteral("--ppm-ballistics=iec"), QStringLiteral("a") }).action, CAnalyzeOptions::Action::Usage);
}

TEST(AnalyzeOptions, NamesGoBackToTheWords)
{
    EXPECT_EQ(CAnalyzeOptions::PpmDecayName(20), QStringLiteral("medium"));
    EXPECT_EQ(CAnalyzeOptions::PpmPeakName(1), QStringLiteral("hold"));
    EXPECT_EQ(CAnalyzeOptions::WindowName(3), QStringLiteral("blackman"));
    EXPECT_EQ(CAnalyzeOptions::InputName(3), QStringLiteral("diff"));
    EXPECT_TRUE(CAnalyzeOptions::WindowName(7).isEmpty());
}

TEST(AnalyzeOptions, BadLinesAreRefusedWithAReason)
{
    const QList<QStringList> bad = {
        {},                                                            // no file
        { QStringLiteral("--timeline") },                              // still no file
        { QStringLiteral("--ppm-decay"), QStringLiteral("quick"), QStringLiteral("a") },
        { QStringLiteral("--fft-window=kaiser"), QStringLiteral("a") },
        { QStringLiteral("--fft-input=LR"), QStringLiteral("a") },     // words are lower case, as listed
        { QStringLiteral("a"), QStringLiteral("--json") },             // value missing at the end
        { QStringLiteral("--json="), QStringLiteral("a") },
        { QStringLiteral("--frobnicate"), QStringLiteral("a") },
    };
    for (const QStringList& line : bad) {
        const CAnalyzeOptions o = Parse(line);
        EXPECT_EQ(o.action, CAnalyzeOptions::Action::Usage) << qPrintable(line.join(QLatin1Char(' ')));
        EXPECT_FALSE(o.error.isEmpty()) << qPrintable(line.join(QLatin1Char(' ')));
    }
}

TEST(AnalyzeOptions, HelpAndVersionNeedNoFile)
{
    EXPECT_EQ(Parse({ QStringLiteral("--help") }).action, CAnalyzeOptions::Action::Help);
    EXPECT_EQ(Parse({ QStringLiteral("a.wav"), QStringLiteral("--version") }).action, CAnalyzeOptions::Action::Version);
    EXPECT_TRUE(CAnalyzeOptions::UsageText().startsWith(QStringLiteral("Usage: lumetra-analyze")));
}

TEST(AnalyzeOptions, DoubleDashEndsTheOptions)
{
    const CAnalyzeOptions o = Parse({ QStringLiteral("--"), QStringLiteral("--timeline") });
    ASSERT_EQ(o.action, CAnalyzeOptions::Action::Run);
    EXPECT_FALSE(o.timeline);
    EXPECT_EQ(o.files, QStringList { QStringLiteral("--timeline") });
}
