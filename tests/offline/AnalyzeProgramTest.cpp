// The built program as a QC script runs it: exit codes, the error line,
// the report on standard output or in a file, and the snapshots.
#include "OfflineFixture.h"
#include "ProgramRun.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QProcess>

using namespace programrun;
using namespace testfiles;

namespace {
// The error stream without Qt's own start-up chatter.
QList<QByteArray> OurErrorLines(const QByteArray& err)
{
    QList<QByteArray> lines;
    for (const QByteArray& line : err.split('\n')) {
        if (line.startsWith("lumetra-analyze:"))
            lines << line;
    }
    return lines;
}

// True when the picture has at least two colours.
bool HasContent(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}
}

using AnalyzeProgramTest = OfflineFixture;

TEST_F(AnalyzeProgramTest, MissingFileAmongTwoExitsOneAndTheOtherIsAnalysed)
{
    const QString good = Write(QStringLiteral("good.wav"), 44100, 2, StereoSine(1000, 44100, 32767, 4096));
    const QString missing = PathOf(QStringLiteral("missing.wav"));
    const ProgramRun run = RunAnalyzer({ missing, good });
    ASSERT_EQ(run.exitCode, 1) << run.err.constData();

    const QList<QByteArray> errors = OurErrorLines(run.err);
    ASSERT_EQ(errors.size(), 1) << run.err.constData();
    EXPECT_TRUE(errors[0].contains(missing.toLocal8Bit())) << errors[0].constData();
    EXPECT_TRUE(errors[0].contains("No such file")) << errors[0].constData(); // libsndfile's reason

    const QJsonArray report = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(report.size(), 2) << run.out.constData();
    EXPECT_EQ(report[0].toObject()[QLatin1String("file")].toString(), missing);
    EXPECT_TRUE(report[0].toObject().contains(QLatin1String("error")));
    const QJsonObject analysed = report[1].toObject();
    EXPECT_EQ(analysed[QLatin1String("file")].toString(), good);
    EXPECT_EQ(At(analysed, "ppm", "max_step", 0), 360);
}

TEST_F(AnalyzeProgramTest, BadOptionExitsTwoWithTheUsage)
{
    const ProgramRun run = RunAnalyzer({ QStringLiteral("--fft-window"), QStringLiteral("kaiser"), QStringLiteral("a.wav") });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("Usage: lumetra-analyze")) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(RunAnalyzer({}).exitCode, 2);
}

TEST_F(AnalyzeProgramTest, HelpAndVersionExitZero)
{
    const ProgramRun help = RunAnalyzer({ QStringLiteral("--help") });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--fft-window")) << help.out.constData();
    const ProgramRun version = RunAnalyzer({ QStringLiteral("--version") });
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("lumetra-analyze ")) << version.out.constData();
}

TEST_F(AnalyzeProgramTest, ReportGoesToTheJsonFile)
{
    const QString wav = Write(QStringLiteral("a.wav"), 48000, 2, Silence(2048));
    const QString json = PathOf(QStringLiteral("report.json"));
    const ProgramRun run = RunAnalyzer({ QStringLiteral("--json"), json, wav });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
    QFile file(json);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray report = QJsonDocument::fromJson(file.readAll()).array();
    ASSERT_EQ(report.size(), 1);
    EXPECT_EQ(report[0].toObject()[QLatin1String("blocks")].toInt(), 4);
}

TEST_F(AnalyzeProgramTest, UnwritableReportExitsOne)
{
    const QString wav = Write(QStringLiteral("b.wav"), 48000, 2, Silence(2048));
    const ProgramRun run = RunAnalyzer({ QStringLiteral("--json"), PathOf(QStringLiteral("no/such/folder/r.json")), wav });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(OurErrorLines(run.err).size(), 1) << run.err.constData();
}

TEST_F(AnalyzeProgramTest, SnapshotsAreDrawnPicturesOfTheFirstRunSizes)
{
    const QString wav = Write(QStringLiteral("tone.wav"), 44100, 2, TwoTones(1000, 440, 44100, 30000, 12000, 22050));
    const QString folder = PathOf(QStringLiteral("pics"));
    const ProgramRun run = RunAnalyzer({ QStringLiteral("--snapshot"), folder, wav });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();

    // Control client areas, each inside a 1-pixel border: the PPM and the
    // correlation meter fill their vertical first-run frames (110 x 320 and
    // 110 x 150), the analyzer fills its frame grown to its minimum
    // tracking size (464 x 199) and the stereo meter is the largest square
    // in a 200 x 180 frame. Every frame has the same border and caption.
    const QImage ppm(QDir(folder).filePath(QStringLiteral("ppm.png")));
    const QImage analyzer(QDir(folder).filePath(QStringLiteral("analyzer.png")));
    const QImage correlation(QDir(folder).filePath(QStringLiteral("correlation.png")));
    const QImage stereo(QDir(folder).filePath(QStringLiteral("stereo.png")));
    ASSERT_FALSE(ppm.isNull());
    ASSERT_FALSE(analyzer.isNull());
    ASSERT_FALSE(correlation.isNull());
    ASSERT_FALSE(stereo.isNull());
    EXPECT_EQ(ppm.width(), correlation.width());
    EXPECT_EQ(ppm.height() - correlation.height(), 320 - 150);
    EXPECT_LT(ppm.width(), 108); // the frame's border takes its share
    EXPECT_EQ(analyzer.width() - ppm.width(), 464 - 110);
    EXPECT_EQ(analyzer.height() - correlation.height(), 199 - 150);
    EXPECT_EQ(stereo.width(), stereo.height());
    EXPECT_EQ(stereo.height() - correlation.height(), 180 - 150); // the client is wider than high
    for (const QImage* image : { &ppm, &analyzer, &correlation, &stereo })
        EXPECT_TRUE(HasContent(*image));
    // The left bar reaches above -1 dB: the over colour (red) shows in the PPM.
    bool red = false;
    for (int y = 0; y < ppm.height() && !red; ++y) {
        for (int x = 0; x < ppm.width() && !red; ++x)
            red = ppm.pixel(x, y) == qRgb(255, 0, 0);
    }
    EXPECT_TRUE(red);
    // The stereo trace is drawn in the default yellow.
    bool yellow = false;
    for (int y = 0; y < stereo.height() && !yellow; ++y) {
        for (int x = 0; x < stereo.width() && !yellow; ++x)
            yellow = stereo.pixel(x, y) == qRgb(255, 255, 0);
    }
    EXPECT_TRUE(yellow);
}

TEST_F(AnalyzeProgramTest, SeveralFilesGetASnapshotFolderEach)
{
    const QString a = Write(QStringLiteral("a.wav"), 44100, 2, Silence(4096));
    QDir().mkpath(PathOf(QStringLiteral("other")));
    const QString b = Write(QStringLiteral("other/a.wav"), 44100, 2, StereoSine(1000, 44100, 20000, 4096));
    const QString folder = PathOf(QStringLiteral("many"));
    const ProgramRun run = RunAnalyzer({ QStringLiteral("--snapshot"), folder, a, b });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray report = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(report.size(), 2);
    const QString first = report[0].toObject()[QLatin1String("snapshot")].toString();
    const QString second = report[1].toObject()[QLatin1String("snapshot")].toString();
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFile::exists(QDir(first).filePath(QStringLiteral("stereo.png"))));
    EXPECT_TRUE(QFile::exists(QDir(second).filePath(QStringLiteral("stereo.png"))));
}

namespace {
// Noise from a fixed linear congruential sequence, the same on both
// channels or inverted on the right.
Samples Noise(int frames, bool inverted)
{
    Samples s;
    std::uint32_t x = 12345;
    for (int i = 0; i < frames; ++i) {
        x = x * 1664525u + 1013904223u;
        const auto v = static_cast<std::int16_t>(static_cast<int>(x >> 17) - 16384);
        s.push_back(v);
        s.push_back(inverted ? static_cast<std::int16_t>(-v) : v);
    }
    return s;
}

// Each file's report object as text, without the timing field.
QList<QByteArray> ReportsWithoutTiming(const QByteArray& out)
{
    QList<QByteArray> reports;
    for (const QJsonValue& v : QJsonDocument::fromJson(out).array()) {
        QJsonObject o = v.toObject();
        EXPECT_GT(o.take(QLatin1String("realtime_factor")).toDouble(), 0.0);
        reports << QJsonDocument(o).toJson();
    }
    return reports;
}
}

TEST_F(AnalyzeProgramTest, EveryFilesReportIsWhatItIsAloneInWhateverOrder)
{
    const int frames = 7200; // 0.15 s at 48 kHz
    const QString a = Write(QStringLiteral("in-phase.wav"), 48000, 2, Noise(frames, false));
    const QString b = Write(QStringLiteral("anti-phase.wav"), 48000, 2, Noise(frames, true));
    const QList<QByteArray> aloneA = ReportsWithoutTiming(RunAnalyzer({ a }).out);
    const QList<QByteArray> aloneB = ReportsWithoutTiming(RunAnalyzer({ b }).out);
    const QList<QByteArray> ab = ReportsWithoutTiming(RunAnalyzer({ a, b }).out);
    const QList<QByteArray> ba = ReportsWithoutTiming(RunAnalyzer({ b, a }).out);
    ASSERT_EQ(aloneA.size(), 1);
    ASSERT_EQ(aloneB.size(), 1);
    ASSERT_EQ(ab.size(), 2);
    ASSERT_EQ(ba.size(), 2);
    EXPECT_EQ(ab[0], aloneA[0]);
    EXPECT_EQ(ab[1], aloneB[0]) << "after the in-phase file";
    EXPECT_EQ(ba[0], aloneB[0]);
    EXPECT_EQ(ba[1], aloneA[0]) << "after the anti-phase file";
    // Anti-phase noise: the smoothed correlation heads for -1 from rest.
    const QJsonObject cor = QJsonDocument::fromJson(aloneB[0]).object()[QLatin1String("correlation")].toObject();
    EXPECT_LT(cor[QLatin1String("last_smoothed")].toDouble(), -0.7);
}
