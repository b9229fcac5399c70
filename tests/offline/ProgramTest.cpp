// The built offline program as a QC script or an archive run uses it.
#include "OfflineFixture.h"

#include <QImage>
#include <QThread>
#include <csignal>
#include <unistd.h>

namespace {
// The report without the one field that measures the run rather than the file.
QJsonArray WithoutTiming(const QByteArray& json)
{
    QJsonArray stripped;
    for (const QJsonValue& value : Report(json)) {
        QJsonObject object = value.toObject();
        EXPECT_GT(object.take(QLatin1String("realtime_factor")).toDouble(), 0.0);
        stripped.append(object);
    }
    return stripped;
}
QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}

class AnalyzeProgramTest : public OfflineFixture {
protected:
    // Stereo tones of differing levels and lengths listed in list.txt, so
    // every file's report differs from its neighbours'.
    QStringList WriteTones(int count, const QString& separator = QStringLiteral("\n"))
    {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths << Write(QStringLiteral("t%1.wav").arg(i, 2, 10, QLatin1Char('0')), 44100, 2,
                           TwoTones(300 + 100 * i, 700, 44100, 30000 - 1000 * i, 9000, 8192 + 512 * i));
        QFile list(PathOf(QStringLiteral("list.txt")));
        EXPECT_TRUE(list.open(QIODevice::WriteOnly) && list.write((paths.join(separator) + separator).toUtf8()) > 0);
        return paths;
    }
};

TEST_F(AnalyzeProgramTest, ExitStatusAndWhereTheReportGoesSayWhatWentWrong)
{
    Write(QStringLiteral("silent.wav"), 48000, 2, Silence(48000));
    Write(QStringLiteral("a.wav"), 44100, 2, StereoSine(1000, 44100, 32767, 4410));
    QFile part(PathOf(QStringLiteral("p.jsonl")));
    ASSERT_TRUE(part.open(QIODevice::WriteOnly) && part.write("{\"file\":\"a.wav\",\"index\":0}\n") > 0);
    part.close();
    const struct {
        QStringList args; // run in the test's folder
        int exitCode;
        const char* out; // what stdout and stderr must hold; nullptr: stdout stays empty
        const char* err;
    } cases[] = {
        { { "silent.wav" }, 0, "\"blocks\": 94", "" },
        { { "--help" }, 0, "--fft-window", "" },
        { { "-h" }, 0, "--fft-window", "" },
        { { "--version" }, 0, "lumetra-analyze ", "" },
        { {}, 2, nullptr, "Usage: lumetra-analyze" },
        { { "--fft-window", "kaiser", "a.wav" }, 2, nullptr, "Usage: lumetra-analyze" },
        { { "--files-from", "nolist.txt" }, 2, nullptr, "nolist.txt" },
        { { "--json", "no/such/folder/r.json", "silent.wav" }, 1, nullptr, "lumetra-analyze: " },
        { { "--json", "report.json", "a.wav" }, 0, nullptr, "" },
        // A silent file fails a loudness rule; an unreadable file outranks that.
        { { "--check", "ebu-r128", "silent.wav" }, 3, "\"pass\": false", "" },
        { { "--check", "ebu-r128", "silent.wav", "gone.wav" }, 1, "", "gone.wav" },
        // A name quoted as a spreadsheet reads it, its error in the last of 12 cells; then 4410 frames at 44100 Hz.
        { { "--format", "csv", "go\"ne,x.wav", "a.wav" }, 1,
          "\"go\"\"ne,x.wav\",,,,,,,,,,,System error : No such file or directory.\na.wav,0.100,44100,", "ne,x.wav" },
        { { "--format", "csv", "--json", "no/such/r.csv", "a.wav" }, 1, nullptr, "cannot write the report" },
        // The last file's line is always shown, then wiped when the run ends.
        { { "--progress", "--json", "r2.json", "silent.wav", "a.wav" }, 0, nullptr, "2 of 2 files" },
        { { "--merge", "p.jsonl" }, 0, "\"file\": \"a.wav\"", "" },
        { { "--merge", "p.jsonl", "--json", "no/such/r.json" }, 1, nullptr, "cannot write the report" },
        { { "--merge", "nopart.jsonl" }, 2, nullptr, "nopart.jsonl" },
    };
    for (const auto& c : cases) {
        const ProgramRun run = Run(c.args);
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.constData();
        EXPECT_TRUE(c.out ? run.out.contains(c.out) : run.out.isEmpty()) << run.out.constData();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.constData();
    }
    EXPECT_EQ(Report(Contents(PathOf(QStringLiteral("report.json")))).size(), 1);
    // A report that stops being written is named once, not again for every later file.
    const ProgramRun full = Run({ "--format", "jsonl", "--json", "/dev/full", "silent.wav", "silent.wav" });
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err.count("cannot write the report"), 1) << full.err.constData();
    const ProgramRun fullOut = RunShell(QStringLiteral("\"$0\" silent.wav >/dev/full"));
    EXPECT_EQ(fullOut.exitCode, 1);
    EXPECT_TRUE(fullOut.err.contains("\"standard output\": ")) << fullOut.err.constData();
}

TEST_F(AnalyzeProgramTest, SnapshotsAreDrawnPicturesOfTheFirstRunSizesAFolderPerFile)
{
    const QString wav = Write(QStringLiteral("tone.wav"), 44100, 2, TwoTones(1000, 440, 44100, 30000, 12000, 22050));
    const QDir folder(PathOf(QStringLiteral("pics")));
    const ProgramRun run = Run({ QStringLiteral("--snapshot"), folder.path(), wav });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    // Client areas inside a 1-pixel border: the PPM and the correlation meter
    // fill their 110 x 320 and 110 x 150 frames, the analyzer its frame grown
    // to 464 x 199, the stereo meter is the largest square in 200 x 180.
    const QImage ppm = QImage(folder.filePath(QStringLiteral("ppm.png"))).convertToFormat(QImage::Format_RGB32);
    const QImage analyzer(folder.filePath(QStringLiteral("analyzer.png")));
    const QImage correlation(folder.filePath(QStringLiteral("correlation.png")));
    const QImage stereo = QImage(folder.filePath(QStringLiteral("stereo.png"))).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(ppm.width(), correlation.width());
    EXPECT_EQ(ppm.height() - correlation.height(), 320 - 150);
    EXPECT_LT(ppm.width(), 108); // the frame's border takes its share
    EXPECT_EQ(analyzer.width() - ppm.width(), 464 - 110);
    EXPECT_EQ(analyzer.height() - correlation.height(), 199 - 150);
    EXPECT_EQ(stereo.width(), stereo.height());
    EXPECT_EQ(stereo.height() - correlation.height(), 180 - 150);
    const auto count = [](const QImage& image, QRgb colour) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        return std::count(pixels, pixels + image.sizeInBytes() / 4, colour);
    };
    EXPECT_NE(count(ppm, qRgb(255, 0, 0)), 0);      // the left bar reaches the over colour
    EXPECT_NE(count(stereo, qRgb(255, 255, 0)), 0); // the trace in the default yellow

    QDir().mkpath(PathOf(QStringLiteral("other")));
    const QString again = Write(QStringLiteral("other/tone.wav"), 44100, 2, Silence(4096));
    const QJsonArray report = Report(Run({ QStringLiteral("--snapshot"), PathOf(QStringLiteral("many")), wav, again }).out);
    ASSERT_EQ(report.size(), 2);
    const QString first = report[0][QLatin1String("snapshot")].toString();
    const QString second = report[1][QLatin1String("snapshot")].toString();
    EXPECT_NE(first, second);
    for (const QString& pictures : { first, second })
        EXPECT_TRUE(QFile::exists(QDir(pictures).filePath(QStringLiteral("stereo.png")))) << qPrintable(pictures);
}

TEST_F(AnalyzeProgramTest, EveryFilesReportIsWhatItIsAloneInWhateverOrder)
{
    // Different levels, tones and channel relations: any state carried from one file shows in the next.
    const QString a = Write(QStringLiteral("in-phase.wav"), 48000, 2, StereoSine(440, 48000, 16000, 7200));
    const QString b = Write(QStringLiteral("anti-phase.wav"), 48000, 2, StereoSine(3000, 48000, 8000, 7200, -1));
    const QJsonArray aloneA = WithoutTiming(Run({ a }).out);
    const QJsonArray aloneB = WithoutTiming(Run({ b }).out);
    ASSERT_EQ(aloneA.size() + aloneB.size(), 2);
    EXPECT_EQ(WithoutTiming(Run({ a, b }).out), QJsonArray({ aloneA[0], aloneB[0] }));
    EXPECT_EQ(WithoutTiming(Run({ b, a }).out), QJsonArray({ aloneB[0], aloneA[0] }));
    // Opposite channels: the smoothed correlation heads for -1 from rest.
    EXPECT_LT(ValueOf(aloneB[0].toObject(), "correlation", "last_smoothed").toDouble(), -0.7);
    EXPECT_GT(At(aloneA[0].toObject(), "ppm", "max_step", 0), At(aloneB[0].toObject(), "ppm", "max_step", 0));
}

// Two jobs give the one-job report, a repeated file once per mention; four
// shards through GNU parallel merge into the single-run report.
TEST_F(AnalyzeProgramTest, JobsAndShardsGiveTheSingleRunReport)
{
    QStringList paths = WriteTones(10);
    paths << paths[1];
    const ProgramRun serial = Run(QStringList { QStringLiteral("--jobs"), QStringLiteral("1") } + paths);
    const ProgramRun parallel = Run(QStringList { QStringLiteral("--jobs"), QStringLiteral("2") } + paths);
    ASSERT_EQ(serial.exitCode + parallel.exitCode, 0) << serial.err.constData() << parallel.err.constData();
    QJsonArray report = WithoutTiming(parallel.out);
    EXPECT_EQ(report, WithoutTiming(serial.out));
    ASSERT_EQ(report.size(), 11);
    EXPECT_EQ(report[10], report[1]);
    EXPECT_NE(report[2], report[1]);
    EXPECT_TRUE(parallel.err.isEmpty()) << parallel.err.constData(); // not even Qt's runtime-folder warning

    const ProgramRun shards = RunShell(QStringLiteral("parallel --will-cite \"$0\" --files-from list.txt --format jsonl "
                                                      "--shard {}/4 --json part{}.jsonl ::: 0 1 2 3"));
    ASSERT_EQ(shards.exitCode, 0) << shards.err.constData();
    EXPECT_EQ(Contents(PathOf(QStringLiteral("part1.jsonl"))).count('\n'), 3); // positions 1, 5 and 9
    const ProgramRun merged = Run({ "--merge", "part3.jsonl", "part0.jsonl", "part2.jsonl", "part1.jsonl" });
    ASSERT_EQ(merged.exitCode, 0) << merged.err.constData();
    report.removeLast();
    EXPECT_EQ(WithoutTiming(merged.out), report);
}

TEST_F(AnalyzeProgramTest, JsonLinesKeepEveryFinishedFileWhenTheRunIsKilled)
{
    // Long enough files, listed NUL-separated, that the kill lands mid-run.
    const QString one = Write(QStringLiteral("long.wav"), 48000, 2, StereoSine(1000, 48000, 16000, 48000 * 20));
    const QStringList paths = WriteTones(40, QString(QChar(0)));
    for (const QString& path : paths)
        ASSERT_TRUE(QFile::remove(path) && ::link(QFile::encodeName(one).constData(), QFile::encodeName(path).constData()) == 0);
    const QString out = PathOf(QStringLiteral("out.jsonl"));
    QProcess process;
    Start(process, { "--format", "jsonl", "--jobs", "2", "--json", out, "--null", "--files-from", "list.txt" });
    ASSERT_TRUE(process.waitForStarted());
    for (int wait = 0; wait < 1200 && Contents(out).count('\n') < 2; ++wait)
        QThread::msleep(50);
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit); // killed before it got through 40 files

    QList<QByteArray> lines = Contents(out).split('\n');
    lines.removeLast(); // after the last newline: nothing, or the file in flight
    ASSERT_GE(lines.size(), 2);
    ASSERT_LT(lines.size(), 40);
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
        EXPECT_EQ(line[QLatin1String("index")].toInt(-1), i);
        EXPECT_EQ(line[QLatin1String("file")].toString(), paths[i]);
        EXPECT_EQ(line[QLatin1String("frames")].toInt(), 48000 * 20);
    }
}

TEST_F(AnalyzeProgramTest, HostileInputIsNamedForWhatItIs)
{
    Write(QStringLiteral("plain.wav"), 44100, 2, StereoSine(1000, 44100, 16000, 4096));
    // A Latin-1 name: the bytes "caf", 0xE9, ".wav".
    const ProgramRun latin1 = RunShell(QStringLiteral("cp plain.wav \"$(printf 'caf\\351.wav')\" && \"$0\" \"$(printf 'caf\\351.wav')\""));
    ASSERT_EQ(latin1.exitCode, 0) << latin1.err.constData();
    EXPECT_EQ(Report(latin1.out)[0][QLatin1String("file")].toString(), QStringLiteral("caf\\xE9.wav"));

    // A WAVE file cut 4000 bytes (1000 frames) after its header was written,
    // with an odd-sized chunk and its pad byte between the format and the samples.
    const QString cut = Write(QStringLiteral("cut.wav"), 44100, 2, StereoSine(1000, 44100, 16000, 10000));
    QFile file(cut);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll().insert(36, QByteArray("junk\3\0\0\0abc\0", 12)).chopped(4000);
    ASSERT_TRUE(file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size()));
    file.close();
    const QString missing = QStringLiteral("-h-is-not-help.wav");
    const ProgramRun run = Run({ m_folder.path(), cut, missing, PathOf(QStringLiteral("plain.wav")) });
    EXPECT_EQ(run.exitCode, 1);
    const QJsonArray report = Report(run.out);
    ASSERT_EQ(report.size(), 4) << run.out.constData();
    EXPECT_TRUE(report[0][QLatin1String("error")].toString().contains(QLatin1String("directory")));
    EXPECT_TRUE(report[1][QLatin1String("notes")].toArray().contains(QStringLiteral("the file ended after 9000 of its 10000 frames")))
        << run.out.constData();
    EXPECT_EQ(report[2][QLatin1String("file")].toString(), missing);
    EXPECT_TRUE(report[2][QLatin1String("error")].toString().contains(QLatin1String("No such file")));
    EXPECT_NEAR(At(report[3].toObject(), "ppm", "max_step", 0), 298, 1); // -6.2 dBFS, a step a tenth of a dB
    const QList<QByteArray> errors = run.err.trimmed().split('\n');
    EXPECT_EQ(errors.size(), 2) << run.err.constData(); // the folder and the missing file, each once
    for (const QByteArray& line : errors)
        EXPECT_TRUE(line.startsWith("lumetra-analyze: ")) << line.constData(); // only our own lines

    const ProgramRun stdinList = Run({ QStringLiteral("--files-from"), QStringLiteral("-") }, "plain.wav\n");
    EXPECT_EQ(stdinList.exitCode, 0) << stdinList.err.constData();
    EXPECT_EQ(Report(stdinList.out).size(), 1);
}
