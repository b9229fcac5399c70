// lumetra-analyze's command line: each word lands in its field in either
// value form, and every bad line is refused with a reason.
#include "offline/AnalyzeOptions.h"

#include <gtest/gtest.h>

namespace {
using Words = std::vector<const char*>;

CAnalyzeOptions Parse(const Words& words)
{
    QStringList args;
    for (const char* word : words)
        args << QString::fromUtf8(word);
    return CAnalyzeOptions::Parse(args);
}

using Field = QString (*)(const CAnalyzeOptions&);
QString Decay(const CAnalyzeOptions& o) { return QString::number(o.ppmDecayTime); }
QString Peak(const CAnalyzeOptions& o) { return QString::number(o.ppmPeakMode); }
QString Ballistics(const CAnalyzeOptions& o) { return QString::number(o.ppmBallistics); }
QString Window(const CAnalyzeOptions& o) { return QString::number(o.fftWindow); }
QString Input(const CAnalyzeOptions& o) { return QString::number(o.fftInput); }
QString Flags(const CAnalyzeOptions& o)
{
    return QStringLiteral("%1%2%3%4").arg(int(o.timeline)).arg(int(o.nulSeparated)).arg(int(o.merge)).arg(int(o.progress));
}
QString Json(const CAnalyzeOptions& o) { return o.jsonPath; }
QString Snapshot(const CAnalyzeOptions& o) { return o.snapshotDir; }
QString Files(const CAnalyzeOptions& o) { return o.files.join(QLatin1Char('|')); }
QString FilesFrom(const CAnalyzeOptions& o) { return o.filesFrom; }
QString Workers(const CAnalyzeOptions& o) { return QString::number(o.Workers()); }
QString Format(const CAnalyzeOptions& o) { return QString::number(static_cast<int>(o.format)); }
QString Check(const CAnalyzeOptions& o) { return o.check; }
QString Shard(const CAnalyzeOptions& o) { return QStringLiteral("%1/%2").arg(o.shard.Index()).arg(o.shard.Count()); }

struct Accepted {
    Words words;
    Field field;
    const char* expected;
};
}

TEST(AnalyzeOptions, EachWordSetsItsFieldInEitherValueForm)
{
    const Accepted rows[] = {
        // The live program's first-run settings when nothing is given.
        { { "a" }, Decay, "20" }, { { "a" }, Peak, "1" }, { { "a" }, Ballistics, "0" }, { { "a" }, Window, "3" },
        { { "a" }, Input, "0" }, { { "a" }, Flags, "0000" }, { { "a" }, Json, "" }, { { "a" }, Format, "0" },
        { { "--ppm-decay", "slow", "a" }, Decay, "30" }, { { "--ppm-decay=fast", "a" }, Decay, "10" },
        { { "--ppm-peak=none", "a" }, Peak, "0" }, { { "--ppm-peak", "decay", "a" }, Peak, "2" },
        { { "--ppm-ballistics", "true", "a" }, Ballistics, "1" }, { { "--ppm-ballistics=nordic", "a" }, Ballistics, "3" },
        { { "--ppm-ballistics=ebu", "a" }, Ballistics, "5" },
        { { "--fft-window", "hamming", "a" }, Window, "6" }, { { "--fft-window=rectangular", "a" }, Window, "0" },
        { { "--fft-window=welch", "a" }, Window, "5" },
        { { "--fft-input=diff", "a" }, Input, "3" }, { { "--fft-input", "right", "a" }, Input, "2" },
        { { "--timeline", "a" }, Flags, "1000" }, { { "--null", "--files-from", "l" }, Flags, "0100" },
        { { "--merge", "p0", "p1" }, Flags, "0010" }, { { "--merge", "p0", "p1" }, Files, "p0|p1" },
        { { "a", "--progress" }, Flags, "0001" },
        // Only the first '=' splits; a file's name may hold one.
        { { "--json=out.json", "a" }, Json, "out.json" }, { { "--json", "out.json", "a" }, Json, "out.json" },
        { { "--json=a=b.json", "a" }, Json, "a=b.json" }, { { "--json", "a=b.json", "a" }, Files, "a" },
        { { "a=b.wav" }, Files, "a=b.wav" }, { { "--snapshot=pics", "x.wav", "y.flac" }, Snapshot, "pics" },
        { { "--snapshot", "pics", "x.wav", "y.flac" }, Files, "x.wav|y.flac" },
        // After "--" every word is a file.
        { { "--", "--json=x.wav" }, Files, "--json=x.wav" }, { { "--", "--json=x.wav" }, Json, "" },
        { { "--", "--timeline" }, Flags, "0000" }, { { "--", "-h" }, Files, "-h" },
        { { "--jobs", "3", "a" }, Workers, "3" }, { { "--jobs=1", "a" }, Workers, "1" },
        { { "--files-from=-" }, FilesFrom, "-" }, { { "--files-from", "l.txt" }, Files, "" },
        { { "--format", "csv", "a" }, Format, "2" }, { { "--format=jsonl", "a" }, Format, "1" },
        { { "--check", "atsc-a85", "a" }, Check, "atsc-a85" }, { { "--shard", "2/5", "a" }, Shard, "2/5" },
        { { "--shard=0/3", "a" }, Shard, "0/3" },
    };
    for (const Accepted& row : rows) {
        const CAnalyzeOptions o = Parse(row.words);
        SCOPED_TRACE(QStringList(QList<QString>(row.words.begin(), row.words.end())).join(QLatin1Char(' ')).toStdString());
        ASSERT_EQ(o.action, CAnalyzeOptions::Action::Run) << qPrintable(o.error);
        EXPECT_EQ(row.field(o), QString::fromUtf8(row.expected));
    }
    EXPECT_GE(Parse({ "a" }).Workers(), 1); // one per core
}

TEST(AnalyzeOptions, BadLinesAreRefusedWithAReason)
{
    const Words bad[] = {
        {}, { "--timeline" }, { "--merge" }, { "a", "--json" }, { "--json=", "a" }, { "--json", "", "a" },
        { "--ppm-decay", "quick", "a" }, { "--fft-window=kaiser", "a" }, { "--fft-input=LR", "a" },
        { "--ppm-ballistics=iec", "a" }, { "--frobnicate", "a" }, { "--bogus=1", "a" }, { "--timeline=yes", "a" },
        { "--jobs", "0", "a" }, { "--jobs", "two", "a" }, { "--format", "xml", "a" }, { "--check", "ebu", "a" },
        { "--shard", "4/4", "a" }, { "--shard", "1", "a" }, { "--files-from=", "a" }, { "--snapshot=", "a" },
    };
    for (const Words& words : bad) {
        const CAnalyzeOptions o = Parse(words);
        const QString line = QStringList(QList<QString>(words.begin(), words.end())).join(QLatin1Char(' '));
        EXPECT_EQ(o.action, CAnalyzeOptions::Action::Usage) << qPrintable(line);
        EXPECT_FALSE(o.error.isEmpty()) << qPrintable(line);
    }
}

TEST(AnalyzeOptions, HelpAndVersionNeedNoFileAndNamesGoBackToTheWords)
{
    EXPECT_EQ(Parse({ "--help" }).action, CAnalyzeOptions::Action::Help);
    EXPECT_EQ(Parse({ "a.wav", "-h" }).action, CAnalyzeOptions::Action::Help);
    EXPECT_EQ(Parse({ "a.wav", "--version" }).action, CAnalyzeOptions::Action::Version);
    EXPECT_TRUE(CAnalyzeOptions::UsageText().startsWith(QStringLiteral("Usage: lumetra-analyze")));
    EXPECT_EQ(CAnalyzeOptions::PpmDecayName(20), QStringLiteral("medium"));
    EXPECT_EQ(CAnalyzeOptions::PpmPeakName(1), QStringLiteral("hold"));
    EXPECT_EQ(CAnalyzeOptions::WindowName(6), QStringLiteral("hamming"));
    EXPECT_EQ(CAnalyzeOptions::InputName(3), QStringLiteral("diff"));
    EXPECT_TRUE(CAnalyzeOptions::WindowName(7).isEmpty());
}
