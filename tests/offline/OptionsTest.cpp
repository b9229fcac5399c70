// lumetra-analyze's command line: each word lands in its field in either
// value form.
#include "offline/AnalyzeOptions.h"

#include <gtest/gtest.h>

namespace {
// Every field as "name=value ", so a row names the one it expects.
QString Fields(const CAnalyzeOptions& o)
{
    return QStringLiteral(" decay=%1 peak=%2 ballistics=%3 window=%4 input=%5 flags=%6%7%8%9 ")
               .arg(o.ppmDecayTime).arg(o.ppmPeakMode).arg(o.ppmBallistics).arg(o.fftWindow).arg(o.fftInput)
               .arg(int(o.timeline)).arg(int(o.nulSeparated)).arg(int(o.merge)).arg(int(o.progress))
        + QStringLiteral("json=%1 snapshot=%2 files=%3 from=%4 workers=%5 format=%6 check=%7 shard=%8/%9 ")
              .arg(o.jsonPath, o.snapshotDir, o.files.join(QLatin1Char('|')), o.filesFrom).arg(o.Workers())
              .arg(static_cast<int>(o.format)).arg(o.check).arg(o.shard.Index()).arg(o.shard.Count());
}
}

TEST(AnalyzeOptions, EachWordSetsItsFieldInEitherValueForm)
{
    const struct {
        QStringList words;
        const char* expected; // " field=value "
    } rows[] = {
        // The live program's first-run settings when nothing is given.
        { { "a" }, " decay=20 peak=1 ballistics=0 window=3 input=0 flags=0000 json= snapshot= files=a from= " },
        { { "a" }, " format=0 check= " },
        { { "--ppm-decay", "slow", "a" }, " decay=30 " }, { { "--ppm-decay=fast", "a" }, " decay=10 " },
        { { "--ppm-peak=none", "a" }, " peak=0 " }, { { "--ppm-peak", "decay", "a" }, " peak=2 " },
        { { "--ppm-ballistics", "true", "a" }, " ballistics=1 " }, { { "--ppm-ballistics=nordic", "a" }, " ballistics=3 " },
        { { "--ppm-ballistics=ebu", "a" }, " ballistics=5 " },
        { { "--fft-window", "hamming", "a" }, " window=6 " }, { { "--fft-window=rectangular", "a" }, " window=0 " },
        { { "--fft-window=welch", "a" }, " window=5 " },
        { { "--fft-input=diff", "a" }, " input=3 " }, { { "--fft-input", "right", "a" }, " input=2 " },
        { { "--timeline", "a" }, " flags=1000 " }, { { "--null", "--files-from", "l" }, " flags=0100 " },
        { { "--merge", "p0", "p1" }, " flags=0010 json= snapshot= files=p0|p1 " },
        { { "a", "--progress" }, " flags=0001 " },
        // Only the first '=' splits; a file's name may hold one.
        { { "--json=out.json", "a" }, " json=out.json " }, { { "--json", "out.json", "a" }, " json=out.json " },
        { { "--json=a=b.json", "a" }, " json=a=b.json snapshot= files=a " }, { { "--json", "a=b.json", "a" }, " files=a " },
        { { "a=b.wav" }, " files=a=b.wav " }, { { "--snapshot=pics", "x.wav", "y.flac" }, " snapshot=pics " },
        { { "--snapshot", "pics", "x.wav", "y.flac" }, " files=x.wav|y.flac " },
        // After "--" every word is a file.
        { { "--", "--json=x.wav" }, " json= snapshot= files=--json=x.wav " },
        { { "--", "--timeline" }, " flags=0000 " }, { { "--", "-h" }, " files=-h " },
        { { "--jobs", "3", "a" }, " workers=3 " }, { { "--jobs=1", "a" }, " workers=1 " },
        { { "--files-from=-" }, " files= from=- " }, { { "--files-from", "l.txt" }, " files= from=l.txt " },
        { { "--format", "csv", "a" }, " format=2 " }, { { "--format=jsonl", "a" }, " format=1 " },
        { { "--check", "atsc-a85", "a" }, " check=atsc-a85 " }, { { "--shard=2/5", "a" }, " shard=2/5 " },
    };
    for (const auto& row : rows) {
        const CAnalyzeOptions o = CAnalyzeOptions::Parse(row.words);
        SCOPED_TRACE(row.words.join(QLatin1Char(' ')).toStdString());
        ASSERT_EQ(o.action, CAnalyzeOptions::Action::Run) << qPrintable(o.error);
        EXPECT_TRUE(Fields(o).contains(QString::fromUtf8(row.expected))) << qPrintable(Fields(o));
    }
    EXPECT_GE(CAnalyzeOptions::Parse({ "a" }).Workers(), 1); // one per core
}
