#include "OfflineFixture.h"

namespace {
constexpr int k44100 = 44100;
constexpr int k48000 = 48000;
constexpr double kFullScale = 32767.0;
constexpr double kNoDb = 1.0;
constexpr int kBlank = -1; // a readout that shows nothing

bool HasNoteContaining(const QJsonObject& result, const char* words)
{
    return QJsonDocument(result[QLatin1String("notes")].toArray()).toJson().contains(words);
}
int AngleOf(const QJsonObject& r, const char* key) { return ValueOf(r, "correlation", key).toInt(kBlank); }
QString Readout(const QJsonObject& r, int channel) { return ValueOf(r, "ppm", "readout")[channel].toString(); }
}

using FileAnalyzerTest = OfflineFixture;

TEST_F(FileAnalyzerTest, LevelsBlocksAndNotesOfKnownFiles)
{
    Samples onePlusOne = Silence(k48000);
    onePlusOne[2 * 1000] = 1;
    const struct {
        const char* name;
        int rate, channels;
        Samples samples;
        int steps[2];        // max_step, left and right
        const char* readout; // left channel's text
        double db;           // right channel's maximum; kNoDb: not checked
        int blocks;
        const char* note; // nullptr: none expected beyond the rate's
    } cases[] = {
        // 86 full blocks and 68 frames, padded.
        { "full scale", k44100, 2, StereoSine(1000, k44100, kFullScale, k44100), { 360, 360 }, "0", 0.0, 87, "padded with 444 frames" },
        // Amplitude 3277 folds to step 160, the -20.0 dB row.
        { "-20 dB", k48000, 2, StereoSine(997, k48000, 3277, 9600), { 160, 160 }, "-20.0", -20.0, 19, nullptr },
        { "silence", k48000, 2, Silence(k48000), { 0, 0 }, "", kNoDb, 94, nullptr },
        { "+1 once", k48000, 2, onePlusOne, { 1, 0 }, "-90.0", kNoDb, 94, nullptr },
        { "mono", k48000, 1, MonoSine(1000, k48000, 3277, 4800), { 160, 160 }, "-20.0", -20.0, 10, "mono" },
        { "short", k44100, 2, StereoSine(1000, k44100, kFullScale, 300), { 360, 360 }, "0", 0.0, 1, "fewer than 512 frames" },
        { "empty", k44100, 2, Samples(), { 0, 0 }, "", kNoDb, 0, "no frames" },
        // The instruments do not measure at this rate.
        { "32 kHz", 32000, 2, StereoSine(1000, 32000, 3277, 16000), { 160, 160 }, "-20.0", -20.0, 32, "at 32000 Hz" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QJsonObject r = Analyze(Write(QStringLiteral("level.wav"), c.rate, c.channels, c.samples));
        EXPECT_EQ(r[QLatin1String("frames")].toInt(), static_cast<int>(c.samples.size()) / c.channels);
        EXPECT_EQ(r[QLatin1String("blocks")].toInt(), c.blocks);
        EXPECT_EQ(At(r, "ppm", "max_step", 0), c.steps[0]);
        EXPECT_EQ(At(r, "ppm", "max_step", 1), c.steps[1]);
        EXPECT_EQ(Readout(r, 0), QString::fromLatin1(c.readout));
        EXPECT_TRUE(c.db == kNoDb || ValueOf(r, "ppm", "max_db")[1].toDouble() == c.db);
        EXPECT_TRUE(!c.note || HasNoteContaining(r, c.note)) << QJsonDocument(r).toJson().constData();
        EXPECT_EQ(HasNoteContaining(r, " Hz the analyzer"), c.rate == 32000);
    }
}

TEST_F(FileAnalyzerTest, OneKilohertzWithBlackmanLightsBars73And74)
{
    const QString path = Write(QStringLiteral("1k.wav"), k44100, 2, StereoSine(1000, k44100, kFullScale, 3 * k44100));
    const QJsonObject r = Analyze(path);
    for (const char* key : { "peak_levels", "last_levels" }) {
        EXPECT_NEAR(At(r, "analyzer", key, 73), 355, 1) << key; // about -1.0 dB
        EXPECT_NEAR(At(r, "analyzer", key, 74), 352, 1) << key; // about -1.6 dB
    }
    // The Blackman window keeps the neighbours below -34 dB once the tone is steady.
    for (const auto& [bar, below] : { std::pair { 72, 190 }, { 75, 190 }, { 20, 20 } })
        EXPECT_LT(At(r, "analyzer", "last_levels", bar), below) << bar;

    // Left - Right of identical channels is nothing at all; a rectangular
    // window leaks far more into distant bars than Blackman.
    CAnalyzeOptions options;
    options.fftInput = 3;
    EXPECT_EQ(ValueOf(Analyze(path, options), "analyzer", "peak_levels"),
              QJsonArray::fromVariantList(QVariantList(128, 0)));
    options = CAnalyzeOptions();
    options.fftWindow = 0;
    EXPECT_GT(At(Analyze(path, options), "analyzer", "last_levels", 100), At(r, "analyzer", "last_levels", 100) + 50);
}

TEST_F(FileAnalyzerTest, ChannelRelationsGiveTheirAngles)
{
    const struct {
        const char* name;
        Samples samples;
        int minAngle, maxAngle; // kBlank: not shown
        double lastRaw;         // NaN: no reading at all
    } cases[] = {
        { "identical", StereoSine(440, k44100, 16000, 2 * k44100), 0, kBlank, 1.0 },
        { "opposite", StereoSine(440, k44100, 16000, 2 * k44100, -1), kBlank, 180, -1.0 },
        { "silence", Silence(k44100), 0, kBlank, 1.0 }, // digital silence counts as identical channels
        // One block forms no window: no correlation reading at all.
        { "one block", StereoSine(1000, k44100, kFullScale, 300), kBlank, kBlank, std::nan("") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QJsonObject r = Analyze(Write(QStringLiteral("angle.wav"), k44100, 2, c.samples));
        EXPECT_EQ(AngleOf(r, "min_angle"), c.minAngle);
        EXPECT_EQ(AngleOf(r, "max_angle"), c.maxAngle);
        EXPECT_EQ(ValueOf(r, "correlation", "last_smoothed").isNull(), std::isnan(c.lastRaw));
        EXPECT_TRUE(std::isnan(c.lastRaw) || ValueOf(r, "correlation", "last_raw").toDouble() == c.lastRaw);
    }
    // 440 Hz against 1000 Hz: almost no correlation in any 1024-frame window.
    const QJsonObject r = Analyze(Write(QStringLiteral("two.wav"), k44100, 2, TwoTones(440, 1000, k44100, 16000, 16000, k44100)));
    EXPECT_NEAR(ValueOf(r, "correlation", "last_smoothed").toDouble(), 0.0, 0.1);
    EXPECT_GE(AngleOf(r, "min_angle"), 75);
    EXPECT_LE(AngleOf(r, "max_angle"), 105);
}

TEST_F(FileAnalyzerTest, TimelineHasOneEntryPerWindow)
{
    // 10 blocks of tone at 48 kHz: windows end after blocks 2, 4, 6, 8 and 10.
    CAnalyzeOptions options;
    options.timeline = true;
    const QString path = Write(QStringLiteral("tl.wav"), k48000, 2, StereoSine(1000, k48000, kFullScale, 10 * 512));
    const QJsonArray timeline = Analyze(path, options)[QLatin1String("timeline")].toArray();
    ASSERT_EQ(timeline.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(timeline[i][QLatin1String("t")].toDouble(), (i + 1) * 1024.0 / k48000);
        EXPECT_EQ(timeline[i][QLatin1String("ppm_step")][0].toInt(), 360);
        EXPECT_DOUBLE_EQ(timeline[i][QLatin1String("corr")][1].toDouble(), 1.0);
    }
    // The smoothed value climbs towards +1 from the filter's rest.
    EXPECT_LT(timeline[0][QLatin1String("corr")][0].toDouble(), timeline[4][QLatin1String("corr")][0].toDouble());
    EXPECT_FALSE(Analyze(path).contains(QLatin1String("timeline")));
}

// 2 s at -0.3 dBFS, then 2 s at -0.2 dBFS: neighbouring scale steps that
// share a pixel on a first-run bar. The maximum reads the louder part in
// every peak mode.
// Then a quarter-rate sine at 45 degrees: every sample at -6.0 dBFS (16422),
// the crest between them 3 dB higher; each ballistics reads its own level.
TEST_F(FileAnalyzerTest, MaximumReadsTheLouderPartAndEachBallisticsItsLevel)
{
    const QString rise = Write(QStringLiteral("rise.wav"), k48000, 2,
                               Then(StereoSine(1000, k48000, 31656, 2 * k48000), StereoSine(1000, k48000, 32023, 2 * k48000)));
    Samples quarter;
    for (int i = 0; i < k48000; ++i)
        quarter.insert(quarter.end(), 2, static_cast<std::int16_t>(i % 4 < 2 ? 16422 : -16422));
    const QString between = Write(QStringLiteral("between.wav"), k48000, 2, quarter);
    const struct {
        const QString& path;
        int peakMode, ballistics;
        int step;         // max_step; 0: not checked
        double low, high; // max_db
        const char* readout;
    } rows[] = {
        { rise, 0, 0, 358, -1.0, 0.0, "-0.2" },
        { rise, 1, 0, 358, -1.0, 0.0, "-0.2" },
        { rise, 2, 0, 358, -1.0, 0.0, "-0.2" },
        { between, 1, 0, 0, -6.0, -6.0, nullptr }, // block peaks: the samples
        { between, 1, 1, 0, -3.4, -2.8, nullptr }, // true peak: the crest
        { between, 1, 4, 0, -6.3, -5.5, nullptr }, // Type II quasi-peak: the rectified samples, all at -6
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.peakMode << " " << row.ballistics);
        CAnalyzeOptions options;
        options.ppmPeakMode = row.peakMode;
        options.ppmBallistics = row.ballistics;
        const QJsonObject r = Analyze(row.path, options);
        for (int ch = 0; ch < 2; ++ch) {
            const double db = ValueOf(r, "ppm", "max_db")[ch].toDouble();
            EXPECT_TRUE(db >= row.low && db <= row.high) << db;
            EXPECT_TRUE(!row.step || At(r, "ppm", "max_step", ch) == row.step) << At(r, "ppm", "max_step", ch);
            EXPECT_TRUE(!row.readout || Readout(r, ch) == QLatin1String(row.readout)) << qPrintable(Readout(r, ch));
        }
    }
}
