#include "OfflineFixture.h"

#include <algorithm>

using namespace testfiles;

namespace {
constexpr int k44100 = 44100;
constexpr int k48000 = 48000;
constexpr double kFullScale = 32767.0;
constexpr double kNoDb = 1.0;
constexpr int kBlank = -1; // a readout that shows nothing

bool HasNoteContaining(const QJsonObject& result, const QString& words)
{
    const QJsonArray notes = result[QLatin1String("notes")].toArray();
    return std::any_of(notes.begin(), notes.end(), [&](const QJsonValue& note) { return note.toString().contains(words); });
}
Samples Then(Samples first, const Samples& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
int AngleOf(const QJsonObject& r, const char* key)
{
    const QJsonValue angle = r[QLatin1String("correlation")][QLatin1String(key)];
    return angle.isNull() ? kBlank : angle.toInt();
}
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
        bool rateNoted;   // the instruments do not measure at this rate
    } cases[] = {
        // 86 full blocks and 68 frames, padded.
        { "full scale", k44100, 2, StereoSine(1000, k44100, kFullScale, k44100), { 360, 360 }, "0", 0.0, 87, "padded with 444 frames", false },
        // Amplitude 3277 folds to step 160, the -20.0 dB row.
        { "-20 dB", k48000, 2, StereoSine(997, k48000, 3277, 9600), { 160, 160 }, "-20.0", -20.0, 19, nullptr, false },
        { "silence", k48000, 2, Silence(k48000), { 0, 0 }, "", kNoDb, 94, nullptr, false },
        { "+1 once", k48000, 2, onePlusOne, { 1, 0 }, "-90.0", kNoDb, 94, nullptr, false },
        { "mono", k48000, 1, MonoSine(1000, k48000, 3277, 4800), { 160, 160 }, "-20.0", -20.0, 10, "mono", false },
        { "short", k44100, 2, StereoSine(1000, k44100, kFullScale, 300), { 360, 360 }, "0", 0.0, 1, "fewer than 512 frames", false },
        { "empty", k44100, 2, Samples(), { 0, 0 }, "", kNoDb, 0, "no frames", false },
        { "32 kHz", 32000, 2, StereoSine(1000, 32000, 3277, 16000), { 160, 160 }, "-20.0", -20.0, 32, nullptr, true },
        { "22.05 kHz", 22050, 2, StereoSine(1000, 22050, 3277, 11025), { 160, 160 }, "-20.0", -20.0, 22, nullptr, true },
        { "96 kHz", 96000, 2, StereoSine(1000, 96000, 3277, 48000), { 160, 160 }, "-20.0", -20.0, 94, nullptr, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Write(QStringLiteral("level.wav"), c.rate, c.channels, c.samples);
        const QJsonObject r = Analyze(path);
        EXPECT_EQ(r[QLatin1String("file")].toString(), path);
        EXPECT_EQ(r[QLatin1String("rate")].toInt(), c.rate);
        EXPECT_EQ(r[QLatin1String("frames")].toInt(), static_cast<int>(c.samples.size()) / c.channels);
        EXPECT_EQ(r[QLatin1String("blocks")].toInt(), c.blocks);
        EXPECT_EQ(At(r, "ppm", "max_step", 0), c.steps[0]);
        EXPECT_EQ(At(r, "ppm", "max_step", 1), c.steps[1]);
        EXPECT_EQ(TextAt(r, "ppm", "readout", 0), QString::fromLatin1(c.readout));
        EXPECT_TRUE(c.db == kNoDb || ValueOf(r, "ppm", "max_db")[1].toDouble() == c.db);
        EXPECT_TRUE(!c.note || HasNoteContaining(r, QString::fromLatin1(c.note))) << QJsonDocument(r).toJson().constData();
        EXPECT_EQ(HasNoteContaining(r, QStringLiteral("at %1 Hz").arg(c.rate)), c.rateNoted);
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
    const QJsonArray silent = ValueOf(Analyze(path, options), "analyzer", "peak_levels").toArray();
    ASSERT_EQ(silent.size(), 128);
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](const QJsonValue& v) { return v.toInt(-1) == 0; }));
    options = CAnalyzeOptions();
    options.fftWindow = 0;
    EXPECT_GT(At(Analyze(path, options), "analyzer", "last_levels", 100), At(r, "analyzer", "last_levels", 100) + 50);
}

TEST_F(FileAnalyzerTest, ChannelRelationsGiveTheirAngles)
{
    const struct {
        const char* name;
        Samples samples;
        int minAngle, maxAngle;
        double lastRaw;
    } cases[] = {
        { "identical", StereoSine(440, k44100, 16000, 2 * k44100), 0, kBlank, 1.0 },
        { "opposite", StereoSine(440, k44100, 16000, 2 * k44100, -1), kBlank, 180, -1.0 },
        { "silence", Silence(k44100), 0, kBlank, 1.0 }, // digital silence counts as identical channels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QJsonObject r = Analyze(Write(QStringLiteral("angle.wav"), k44100, 2, c.samples));
        EXPECT_EQ(AngleOf(r, "min_angle"), c.minAngle);
        EXPECT_EQ(AngleOf(r, "max_angle"), c.maxAngle);
        EXPECT_DOUBLE_EQ(ValueOf(r, "correlation", "last_raw").toDouble(), c.lastRaw);
    }
    // 440 Hz against 1000 Hz: almost no correlation in any 1024-frame window.
    const QJsonObject r = Analyze(Write(QStringLiteral("two.wav"), k44100, 2, TwoTones(440, 1000, k44100, 16000, 16000, k44100)));
    EXPECT_NEAR(ValueOf(r, "correlation", "last_smoothed").toDouble(), 0.0, 0.1);
    EXPECT_GE(AngleOf(r, "min_angle"), 75);
    EXPECT_LE(AngleOf(r, "max_angle"), 105);
    // One block forms no window: no correlation reading at all.
    const QJsonObject one = Analyze(Write(QStringLiteral("one.wav"), k44100, 2, StereoSine(1000, k44100, kFullScale, 300)));
    EXPECT_TRUE(ValueOf(one, "correlation", "last_smoothed").isNull());
    EXPECT_EQ(AngleOf(one, "min_angle"), kBlank);
}

TEST_F(FileAnalyzerTest, TimelineHasOneEntryPerWindowAndShowsThePpmFall)
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

    // A full-scale second, then a silent one: the maximum stays, the bar
    // falls. "Medium" takes 2 steps every second tick above step 10: 94
    // ticks of silence take it well below the -20 dB row but not to the floor.
    const QJsonObject r = Analyze(Write(QStringLiteral("stop.wav"), k48000, 2,
                                        Then(StereoSine(1000, k48000, kFullScale, k48000), Silence(k48000))), options);
    EXPECT_EQ(At(r, "ppm", "max_step", 0), 360);
    const int lastStep = r[QLatin1String("timeline")].toArray().last()[QLatin1String("ppm_step")][0].toInt();
    EXPECT_LT(lastStep, 300);
    EXPECT_GT(lastStep, 200);
}

// 2 s at -0.3 dBFS, then 2 s at -0.2 dBFS: neighbouring scale steps that
// share a pixel on a first-run bar.
TEST_F(FileAnalyzerTest, MaximumReadsTheLouderPartInEveryPeakMode)
{
    const QString path = Write(QStringLiteral("rise.wav"), k48000, 2,
                               Then(StereoSine(1000, k48000, 31656, 2 * k48000), StereoSine(1000, k48000, 32023, 2 * k48000)));
    for (int peakMode : { 0, 1, 2 }) {
        CAnalyzeOptions options;
        options.ppmPeakMode = peakMode;
        const QJsonObject r = Analyze(path, options);
        for (int ch = 0; ch < 2; ++ch) {
            EXPECT_EQ(At(r, "ppm", "max_step", ch), 358) << peakMode;
            EXPECT_EQ(TextAt(r, "ppm", "readout", ch), QStringLiteral("-0.2")) << peakMode;
        }
    }
}

// A quarter-rate sine at 45 degrees: every sample at -6.0 dBFS (16422), the
// crest between them 3 dB higher.
TEST_F(FileAnalyzerTest, BallisticsOptionGivesTheModesReadings)
{
    const std::int16_t quarter[4] = { 16422, 16422, -16422, -16422 };
    Samples samples;
    for (int i = 0; i < k48000; ++i)
        samples.insert(samples.end(), { quarter[i % 4], quarter[i % 4] });
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
            const double db = ValueOf(r, "ppm", "max_db")[ch].toDouble();
            EXPECT_TRUE(db >= row.low && db <= row.high) << row.ballistics << " " << db;
        }
    }
}
