// The built program over lists of files as an archive run uses it: workers,
// list files, streaming reports, shards through GNU parallel, delivery
// checks, and the bad input a real archive holds.
#include "OfflineFixture.h"
#include "ProgramRun.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <unistd.h>

using namespace testfiles;

using namespace programrun;

namespace {
// A shell line, for what QProcess cannot pass (bytes that are not text,
// GNU parallel's fan-out); the program is $0.
ProgramRun Shell(const QString& line, const QString& folder)
{
    QProcess process;
    process.setProcessEnvironment(QuietEnvironment());
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), line, QStringLiteral(LUMETRA_ANALYZE_PROGRAM) });
    process.closeWriteChannel();
    return Finish(process);
}

QJsonObject Line(const QByteArray& line) { return QJsonDocument::fromJson(line).object(); }

// The report without the one field that measures the run rather than the
// file: how fast it went.
QJsonArray WithoutTiming(const QJsonArray& report)
{
    QJsonArray stripped;
    for (const QJsonValue& value : report) {
        QJsonObject object = value.toObject();
        EXPECT_TRUE(object.contains(QLatin1String("realtime_factor")));
        object.remove(QLatin1String("realtime_factor"));
        stripped.append(object);
    }
    return stripped;
}
}

class ArchiveProgramTest : public OfflineFixture {
protected:
    // Stereo tones of differing levels and lengths, so every file's
    // report differs from its neighbours'.
    QStringList WriteFiles(int count, int frames = 8192)
    {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            paths << Write(QStringLiteral("t%1.wav").arg(i, 2, 10, QLatin1Char('0')), 44100, 2,
                           TwoTones(300 + 100 * i, 700, 44100, 30000 - 1000 * i, 9000, frames + 512 * i));
        }
        return paths;
    }
    QString WriteList(const QStringList& paths)
    {
        QFile list(PathOf(QStringLiteral("list.txt")));
        EXPECT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(paths.join(QLatin1Char('\n')).toUtf8() + '\n');
        return list.fileName();
    }
};

TEST_F(ArchiveProgramTest, TwoJobsGiveTheOneJobReportAndARepeatedFileOncePerMention)
{
    QStringList paths = WriteFiles(6);
    paths << paths[1];
    const ProgramRun serial = RunAnalyzer(QStringList { QStringLiteral("--jobs"), QStringLiteral("1") } + paths);
    const ProgramRun parallel = RunAnalyzer(QStringList { QStringLiteral("--jobs"), QStringLiteral("2") } + paths);
    ASSERT_EQ(serial.exitCode, 0) << serial.err.constData();
    ASSERT_EQ(parallel.exitCode, 0) << parallel.err.constData();
    const QJsonArray report = WithoutTiming(Report(parallel.out));
    EXPECT_EQ(report, WithoutTiming(Report(serial.out)));
    ASSERT_EQ(report.size(), 7);
    EXPECT_EQ(report[6], report[1]);
    EXPECT_NE(report[2], report[1]);
    EXPECT_TRUE(parallel.err.isEmpty()) << parallel.err.constData(); // not even Qt's runtime-folder warning
}

TEST_F(ArchiveProgramTest, FourShardsThroughGnuParallelMergeIntoTheSingleRunReport)
{
    const QString list = WriteList(WriteFiles(10));
    const ProgramRun whole = RunAnalyzer({ QStringLiteral("--files-from"), list });
    ASSERT_EQ(whole.exitCode, 0) << whole.err.constData();
    ASSERT_EQ(Report(whole.out).size(), 10);

    const ProgramRun shards = Shell(QStringLiteral("parallel --will-cite \"$0\" --files-from list.txt --format jsonl "
                                            "--shard {}/4 --json part{}.jsonl ::: 0 1 2 3"),
                             m_folder.path());
    ASSERT_EQ(shards.exitCode, 0) << shards.err.constData();
    QFile part(PathOf(QStringLiteral("part1.jsonl")));
    ASSERT_TRUE(part.open(QIODevice::ReadOnly));
    EXPECT_EQ(part.readAll().count('\n'), 3); // positions 1, 5 and 9
    const ProgramRun merged = Shell(QStringLiteral("\"$0\" --merge part3.jsonl part0.jsonl part2.jsonl part1.jsonl"), m_folder.path());
    ASSERT_EQ(merged.exitCode, 0) << merged.err.constData();
    EXPECT_EQ(WithoutTiming(Report(merged.out)), WithoutTiming(Report(whole.out)));
    EXPECT_EQ(Report(merged.out).size(), 10);
}

TEST_F(ArchiveProgramTest, JsonLinesKeepEveryFinishedFileWhenTheRunIsKilled)
{
    // Long enough files that the kill lands mid-run.
    QStringList paths;
    const QString one = Write(QStringLiteral("long.wav"), 48000, 2, StereoSine(1000, 48000, 16000, 48000 * 20));
    for (int i = 0; i < 40; ++i) {
        const QString copy = PathOf(QStringLiteral("long%1.wav").arg(i));
        ASSERT_EQ(::link(QFile::encodeName(one).constData(), QFile::encodeName(copy).constData()), 0);
        paths << copy;
    }
    const QString out = PathOf(QStringLiteral("out.jsonl"));
    QProcess process;
    process.setProcessEnvironment(QuietEnvironment());
    process.start(QStringLiteral(LUMETRA_ANALYZE_PROGRAM),
                  QStringList { QStringLiteral("--format"), QStringLiteral("jsonl"), QStringLiteral("--jobs"),
                                QStringLiteral("2"), QStringLiteral("--json"), out, QStringLiteral("--files-from"),
                                WriteList(paths) });
    ASSERT_TRUE(process.waitForStarted());
    auto finishedLines = [&out] {
        QFile written(out);
        return written.open(QIODevice::ReadOnly) ? written.readAll().count('\n') : 0;
    };
    for (int wait = 0; wait < 1200 && finishedLines() < 2; ++wait)
        QThread::msleep(50);
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit); // killed before it got through 40 files

    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast(); // after the last newline: nothing, or the file in flight
    ASSERT_GE(lines.size(), 2);
    ASSERT_LT(lines.size(), 40);
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject line = Line(lines[i]);
        EXPECT_EQ(line[QLatin1String("index")].toInt(-1), i);
        EXPECT_EQ(line[QLatin1String("file")].toString(), paths[i]);
        EXPECT_EQ(line[QLatin1String("frames")].toInt(), 48000 * 20);
    }
}

TEST_F(ArchiveProgramTest, CheckFailureExitsThreeAndAnUnreadableFileOutranksIt)
{
    const QString silent = Write(QStringLiteral("silent.wav"), 48000, 2, Silence(48000));
    const ProgramRun failed = RunAnalyzer({ QStringLiteral("--check"), QStringLiteral("ebu-r128"), silent });
    EXPECT_EQ(failed.exitCode, 3) << failed.err.constData();
    const QJsonObject check = Report(failed.out)[0].toObject()[QLatin1String("check")].toObject();
    EXPECT_EQ(check[QLatin1String("rule")].toString(), QStringLiteral("ebu-r128"));
    EXPECT_FALSE(check[QLatin1String("pass")].toBool(true));
    EXPECT_FALSE(check[QLatin1String("reasons")].toArray().isEmpty());

    const ProgramRun both = RunAnalyzer({ QStringLiteral("--check"), QStringLiteral("ebu-r128"), silent, PathOf(QStringLiteral("gone.wav")) });
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_EQ(RunAnalyzer({ silent }).exitCode, 0); // no rule, no verdict
}

TEST_F(ArchiveProgramTest, CsvHasAHeaderAndOneRowPerFile)
{
    const QString a = Write(QStringLiteral("a.wav"), 44100, 2, StereoSine(1000, 44100, 32767, 4410));
    const ProgramRun run = RunAnalyzer({ QStringLiteral("--format"), QStringLiteral("csv"), a, PathOf(QStringLiteral("gone.wav")) });
    EXPECT_EQ(run.exitCode, 1);
    const QList<QByteArray> rows = run.out.trimmed().split('\n');
    ASSERT_EQ(rows.size(), 3) << run.out.constData();
    EXPECT_TRUE(rows[0].startsWith("file,duration_s,rate_hz,"));
    const QList<QByteArray> cells = rows[1].split(',');
    EXPECT_EQ(cells[1], "0.100"); // 4410 frames at 44100 Hz
    EXPECT_EQ(cells[2], "44100");
    EXPECT_TRUE(rows[2].endsWith("No such file or directory.")) << rows[2].constData();
}

TEST_F(ArchiveProgramTest, HostileInputIsNamedForWhatItIs)
{
    Write(QStringLiteral("plain.wav"), 44100, 2, StereoSine(1000, 44100, 16000, 4096));
    // A Latin-1 name: the bytes "caf", 0xE9, ".wav".
    const ProgramRun latin1 = Shell(QStringLiteral("cp plain.wav \"$(printf 'caf\\351.wav')\" && \"$0\" \"$(printf 'caf\\351.wav')\""),
                             m_folder.path());
    ASSERT_EQ(latin1.exitCode, 0) << latin1.err.constData();
    EXPECT_EQ(Report(latin1.out)[0].toObject()[QLatin1String("file")].toString(), QStringLiteral("caf\\xE9.wav"));

    // A WAVE file cut 4000 bytes (1000 frames) after its header was written.
    const QString cut = Write(QStringLiteral("cut.wav"), 44100, 2, StereoSine(1000, 44100, 16000, 10000));
    QFile(cut).resize(QFile(cut).size() - 4000);
    const ProgramRun run = RunAnalyzer({ m_folder.path(), cut, QStringLiteral("-h-is-not-help.wav") });
    EXPECT_EQ(run.exitCode, 1);
    const QJsonArray report = Report(run.out);
    ASSERT_EQ(report.size(), 3) << run.out.constData();
    EXPECT_TRUE(report[0].toObject()[QLatin1String("error")].toString().contains(QLatin1String("directory")));
    const QJsonArray notes = report[1].toObject()[QLatin1String("notes")].toArray();
    EXPECT_TRUE(notes.contains(QStringLiteral("the file ended after 9000 of its 10000 frames")))
        << QJsonDocument(notes).toJson().constData();
    for (const QByteArray& line : run.err.trimmed().split('\n'))
        EXPECT_TRUE(line.startsWith("lumetra-analyze: ")) << line.constData(); // only our own lines

    EXPECT_EQ(RunAnalyzer({ QStringLiteral("-h") }).exitCode, 0);
    const ProgramRun noList = RunAnalyzer({ QStringLiteral("--files-from"), PathOf(QStringLiteral("nolist.txt")) });
    EXPECT_EQ(noList.exitCode, 2);
    EXPECT_TRUE(noList.err.contains("nolist.txt")) << noList.err.constData();
    const ProgramRun stdinList = RunAnalyzer({ QStringLiteral("--files-from"), QStringLiteral("-") }, m_folder.path(), "plain.wav\n");
    EXPECT_EQ(stdinList.exitCode, 0) << stdinList.err.constData();
    EXPECT_EQ(Report(stdinList.out).size(), 1);
}
