// The offline path on files with known content: the readings a mastering
// engineer checks, the notes on short files and the timeline.
#include "OfflineFixture.h"

#include <QJsonDocument>

using namespace testfiles;

namespace {
constexpr int k44100 = 44100;
constexpr int k48000 = 48000;
constexpr double kFullScale = 32767.0;

bool HasNoteContaining(const QJsonObject& result, const QString& words)
{
    for (const QJsonValue& note : result[QLatin1String("notes")].toArray()) {
        if (note.toString().contains(words))
            return true;
    }
    return false;
}
}

using FileAnalyzerTest = OfflineFixture;

TEST_F(FileAnalyzerTest, FullScaleSineReadsZeroDbOnBothChannels)
{
    const QString path = Write(QStringLiteral("sine.wav"), k44100, 2, StereoSine(1000, k44100, kFullScale, k44100));
    const QJsonObject r = Analyze(path);
    EXPECT_EQ(r[QLatin1String("file")].toString(), path);
    EXPECT_EQ(r[QLatin1String("rate")].toInt(), k44100);
    EXPECT_EQ(r[QLatin1String("frames")].toInt(), k44100);
    EXPECT_EQ(r[QLatin1String("blocks")].toInt(), 87); // 86 full blocks and 68 frames, padded
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_EQ(At(r, "ppm", "max_step", ch), 360);
        EXPECT_DOUBLE_EQ(ValueOf(r, "ppm", "max_db").toArray()[ch].toDouble(), 0.0);
        EXPECT_EQ(TextAt(r, "ppm", "readout", ch), QStringLiteral("0"));
    }
    EXPECT_TRUE(HasNoteContaining(r, QStringLiteral("padded with 444 frames"))) << QJsonDocument(r).toJson().constData();
}

TEST_F(FileAnalyzerTest, MinusTwentyDbSineReadsItsTableValue)
{
    // Amplitude 3277 folds to step 160, the -20.0 dB row.
    const QString path = Write(QStringLiteral("quiet.wav"), k48000, 2, StereoSine(997, k48000, 3277, 9600));
    const QJsonObject r = Analyze(path);
    EXPECT_EQ(At(r, "ppm", "max_step", 0), 160);
    EXPECT_DOUBLE_EQ(ValueOf(r, "ppm", "max_db").toArray()[1].toDouble(), -20.0);
    EXPECT_EQ(TextAt(r, "ppm", "readout", 1), QStringLiteral("-20.0"));
}

TEST_F(FileAnalyzerTest, SilenceLeavesStepZeroAndBlankReadouts)
{
    const QJsonObject r = Analyze(Write(QStringLiteral("silence.wav"), k48000, 2, Silence(k48000)));
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_EQ(At(r, "ppm", "max_step", ch), 0);
        EXPECT_EQ(TextAt(r, "ppm", "readout", ch), QString());
    }
    const QJsonArray peaks = ValueOf(r, "analyzer", "peak_levels").toArray();
    ASSERT_EQ(peaks.size(), 128);
    for (int bar = 0; bar < 128; ++bar)
        ASSERT_EQ(peaks[bar].toInt(), 0) << "bar " << bar;
    // Digital silence on both channels counts as identical channels.
    EXPECT_DOUBLE_EQ(ValueOf(r, "correlation", "last_raw").toDouble(), 1.0);
}

TEST_F(FileAnalyzerTest, OneKilohertzWithBlackmanLightsBars73And74)
{
    CAnalyzeOptions options;
    options.fftWindow = 3; // "blackman", also the default
    const QString path = Write(QStringLiteral("1k.wav"), k44100, 2, StereoSine(1000, k44100, kFullScale, 3 * k44100));
    const QJsonObject r = Analyze(path, options);
    const QJsonArray peaks = ValueOf(r, "analyzer", "peak_levels").toArray();
    const QJsonArray last = ValueOf(r, "analyzer", "last_levels").toArray();
    EXPECT_NEAR(peaks[73].toInt(), 355, 1); // about -1.0 dB
    EXPECT_NEAR(peaks[74].toInt(), 352, 1); // about -1.6 dB
    EXPECT_NEAR(last[73].toInt(), 355, 1);
    EXPECT_NEAR(last[74].toInt(), 352, 1);
    // The Blackman window keeps the neighbours below -34 dB once the tone is steady.
    EXPECT_LT(last[72].toInt(), 190);
    EXPECT_LT(last[75].toInt(), 190);
    EXPECT_LT(last[20].toInt(), 20);
}

TEST_F(FileAnalyzerTest, WindowAndInputOptionsReachTheAnalyzer)
{
    // Left - Right of identical channels is nothing at all.
    CAnalyzeOptions diff;
    diff.fftInput = 3;
    const QString path = Write(QStringLiteral("mono1k.wav"), k44100, 2, StereoSine(1000, k44100, 20000, k44100));
    const QJsonArray silent = ValueOf(Analyze(path, diff), "analyzer", "peak_levels").toArray();
    for (int bar = 0; bar < 128; ++bar)
        ASSERT_EQ(silent[bar].toInt(), 0) << "bar " << bar;
    // A rectangular window leaks far more into distant bars than Blackman.
    CAnalyzeOptions rectangular;
    rectangular.fftWindow = 0;
    const int leakRect = ValueOf(Analyze(path, rectangular), "analyzer", "last_levels").toArray()[100].toInt();
    const int leakBlackman = ValueOf(Analyze(path), "analyzer", "last_levels").toArray()[100].toInt();
    EXPECT_GT(leakRect, leakBlackman + 50);
}

TEST_F(FileAnalyzerTest, IdenticalChannelsGiveMinimumAngleZero)
{
    const QJsonObject r = Analyze(Write(QStringLiteral("same.wav"), k44100, 2, StereoSine(440, k44100, 16000, 2 * k44100)));
    EXPECT_EQ(ValueOf(r, "correlation", "min_angle").toInt(-1), 0);
    EXPECT_TRUE(ValueOf(r, "correlation", "max_angle").isNull()); // blank readout
    EXPECT_DOUBLE_EQ(ValueOf(r, "correlation", "last_raw").toDouble(), 1.0);
    EXPECT_NEAR(ValueOf(r, "correlation", "last_smoothed").toDouble(), 1.0, 1e-4);
}

TEST_F(FileAnalyzerTest, OppositeChannelsGiveMaximumAngle180)
{
    const QJsonObject r
        = Analyze(Write(QStringLiteral("opposite.wav"), k44100, 2, StereoSine(440, k44100, 16000, 2 * k44100, -1)));
    EXPECT_EQ(ValueOf(r, "correlation", "max_angle").toInt(-1), 180);
    EXPECT_TRUE(ValueOf(r, "correlation", "min_angle").isNull());
    EXPECT_DOUBLE_EQ(ValueOf(r, "correlation", "last_raw").toDouble(), -1.0);
    EXPECT_NEAR(ValueOf(r, "correlation", "last_smoothed").toDouble(), -1.0, 1e-4);
}

TEST_F(FileAnalyzerTest, UnrelatedTonesStayNearNinetyDegrees)
{
    // 440 Hz against 1000 Hz: almost no correlation in any 1024-frame window.
    const QJsonObject r = Analyze(Write(QStringLiteral("two.wav"), k44100, 2, TwoTones(440, 1000, k44100, 16000, 16000, k44100)));
    EXPECT_NEAR(ValueOf(r, "correlation", "last_smoothed").toDouble(), 0.0, 0.1);
    const int minAngle = ValueOf(r, "correlation", "min_angle").toInt(-1);
    const int maxAngle = ValueOf(r, "correlation", "max_angle").toInt(-1);
    EXPECT_GE(minAngle, 75);
    EXPECT_LE(maxAngle, 105);
}

TEST_F(FileAnalyzerTest, MonoFileIsMeasuredOnBothChannels)
{
    const QJsonObject r = Analyze(Write(QStringLiteral("mono.wav"), k48000, 1, MonoSine(1000, k48000, 3277, 4800)));
    EXPECT_EQ(At(r, "ppm", "max_step", 0), 160);
    EXPECT_EQ(At(r, "ppm", "max_step", 1), 160);
    EXPECT_EQ(ValueOf(r, "correlation", "min_angle").toInt(-1), 0);
    EXPECT_TRUE(HasNoteContaining(r, QStringLiteral("mono")));
}

TEST_F(FileAnalyzerTest, FileShorterThanABlockIsPaddedAndSaysSo)
{
    const QJsonObject r = Analyze(Write(QStringLiteral("short.wav"), k44100, 2, StereoSine(1000, k44100, kFullScale, 300)));
    EXPECT_EQ(r[QLatin1String("frames")].toInt(), 300);
    EXPECT_EQ(r[QLatin1String("blocks")].toInt(), 1);
    EXPECT_EQ(At(r, "ppm", "max_step", 0), 360); // the 300 frames still reach the meter
    EXPECT_TRUE(HasNoteContaining(r, QStringLiteral("fewer than 512 frames")));
    EXPECT_TRUE(HasNoteContaining(r, QStringLiteral("padded with 212 frames")));
    // One block forms no window: no correlation and no analyzer reading.
    EXPECT_TRUE(ValueOf(r, "correlation", "last_smoothed").isNull());
    EXPECT_TRUE(ValueOf(r, "correlation", "min_angle").isNull());
}

TEST_F(FileAnalyzerTest, EmptyFileHasNoBlocksAndANote)
{
    const QJsonObject r = Analyze(Write(QStringLiteral("empty.wav"), k44100, 2, Samples()));
    EXPECT_EQ(r[QLatin1String("blocks")].toInt(), 0);
    EXPECT_EQ(At(r, "ppm", "max_step", 0), 0);
    EXPECT_TRUE(HasNoteContaining(r, QStringLiteral("no frames")));
}

TEST_F(FileAnalyzerTest, TimelineHasOneEntryPerWindow)
{
    // 10 blocks at 48 kHz: windows end after blocks 2, 4, 6, 8 and 10.
    CAnalyzeOptions options;
    options.timeline = true;
    const QJsonObject r
        = Analyze(Write(QStringLiteral("tl.wav"), k48000, 2, StereoSine(1000, k48000, kFullScale, 10 * 512)), options);
    const QJsonArray timeline = r[QLatin1String("timeline")].toArray();
    ASSERT_EQ(timeline.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const QJsonObject entry = timeline[i].toObject();
        EXPECT_DOUBLE_EQ(entry[QLatin1String("t")].toDouble(), (i + 1) * 1024.0 / k48000);
        EXPECT_EQ(entry[QLatin1String("ppm_step")].toArray()[0].toInt(), 360);
        EXPECT_DOUBLE_EQ(entry[QLatin1String("corr")].toArray()[1].toDouble(), 1.0);
    }
    // The smoothed value climbs towards +1 from the filter's rest.
    EXPECT_LT(timeline[0].toObject()[QLatin1String("corr")].toArray()[0].toDouble(),
              timeline[4].toObject()[QLatin1String("corr")].toArray()[0].toDouble());
    EXPECT_FALSE(Analyze(PathOf(QStringLiteral("tl.wav"))).contains(QLatin1String("timeline")));
}

TEST_F(FileAnalyzerTest, PpmFallsAfterTheToneStops)
{
    // A full-scale second, then a silent one: the maximum stays, the bar falls.
    Samples s = StereoSine(1000, k48000, kFullScale, k48000);
    const Samples quiet = Silence(k48000);
    s.insert(s.end(), quiet.begin(), quiet.end());
    CAnalyzeOptions options;
    options.timeline = true;
    const QJsonObject r = Analyze(Write(QStringLiteral("stop.wav"), k48000, 2, s), options);
    EXPECT_EQ(At(r, "ppm", "max_step", 0), 360);
    const QJsonArray timeline = r[QLatin1String("timeline")].toArray();
    ASSERT_FALSE(timeline.isEmpty());
    const int lastStep = timeline.last().toObject()[QLatin1String("ppm_step")].toArray()[0].toInt();
    // "Medium": 2 steps every second tick above step 10, 94 ticks of silence
    // take it from 360 well below the -20 dB row but not to the floor.
    EXPECT_LT(lastStep, 300);
    EXPECT_GT(lastStep, 200);
}

TEST_F(FileAnalyzerTest, UnreadableFileGivesLibsndfilesReason)
{
    const QString path = PathOf(QStringLiteral("not-there.wav"));
    CAnalyzeOptions options;
    CFileAnalyzer analyzer(options);
    QJsonObject result;
    QString error;
    EXPECT_EQ(analyzer.Analyze(path, QString(), result, error), CFileAnalyzer::Outcome::Unreadable);
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(FileAnalyzerTest, MaximumReadsTheLouderPartInEveryPeakMode)
{
    // 2 s at -0.3 dBFS, then 2 s at -0.2 dBFS: neighbouring scale steps that
    // share a pixel on a first-run bar.
    Samples tone = StereoSine(1000, k48000, 31656, 2 * k48000);
    const Samples louder = StereoSine(1000, k48000, 32023, 2 * k48000);
    tone.insert(tone.end(), louder.begin(), louder.end());
    const QString path = Write(QStringLiteral("rise.wav"), k48000, 2, tone);
    const struct {
        int peakMode;
        const char* name;
    } modes[] = { { 0, "none" }, { 1, "hold" }, { 2, "decay" } };
    for (const auto& mode : modes) {
        CAnalyzeOptions options;
        options.ppmPeakMode = mode.peakMode;
        const QJsonObject r = Analyze(path, options);
        for (int ch = 0; ch < 2; ++ch) {
            EXPECT_EQ(At(r, "ppm", "max_step", ch), 358) << mode.name;
            EXPECT_EQ(TextAt(r, "ppm", "readout", ch), QStringLiteral("-0.2")) << mode.name;
        }
    }
}

TEST_F(FileAnalyzerTest, ASinglePlusOneSampleReadsTheLowestStep)
{
    Samples s = Silence(k48000);
    s[2 * 1000] = 1;
    const QJsonObject r = Analyze(Write(QStringLiteral("one.wav"), k48000, 2, s));
    EXPECT_EQ(At(r, "ppm", "max_step", 0), 1);
    EXPECT_EQ(TextAt(r, "ppm", "readout", 0), QStringLiteral("-90.0"));
    EXPECT_EQ(At(r, "ppm", "max_step", 1), 0);
}

TEST_F(FileAnalyzerTest, BallisticsOptionGivesTheModesReadings)
{
    // A quarter-rate sine at 45 degrees: every sample at -6.0 dBFS (16422),
    // the crest between them 3 dB higher.
    const std::int16_t quarter[4] = { 16422, 16422, -16422, -16422 };
    Samples samples;
    for (int i = 0; i < k48000; ++i) {
        samples.push_back(quarter[i % 4]);
        samples.push_back(quarter[i % 4]);
    }
    const QString path = Write(QStringLiteral("between.wav"), k48000, 2, samples);
    const struct {
        int ballistics;
        double low, high;
    } rows[] = {
        { 0, -6.0, -6.0 }, // block peaks: the samples
        { 1, -3.4, -2.8 }, // true peak: the crest
        { 4, -6.3, -5.5 }, // Type II quasi-peak: the rectified samples, all at -6
    };
    for (const auto& row : rows) {
        CAnalyzeOptions options;
        options.ppmBallistics = row.ballistics;
        const QJsonObject r = Analyze(path, options);
        for (int ch = 0; ch < 2; ++ch) {
            const double db = ValueOf(r, "ppm", "max_db").toArray()[ch].toDouble();
            EXPECT_GE(db, row.low) << row.ballistics;
            EXPECT_LE(db, row.high) << row.ballistics;
        }
    }
}
