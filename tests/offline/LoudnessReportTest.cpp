// Loudness in the offline program's report, mostly through the built program.
#include "OfflineFixture.h"
#include "offline/DeliveryCheck.h"
#include "offline/DeliveryRule.h"
#include "meters/loudness/LoudnessFeed.h"

namespace {
// A 1 kHz tone's 16-bit amplitude for a peak level in dBFS.
double Amplitude(double dbfs) { return 32768.0 * std::pow(10.0, dbfs / 20.0); }

// Consecutive stereo 1 kHz tones, each {dBFS, seconds}.
Samples ToneSteps(int rate, std::initializer_list<std::pair<double, double>> steps)
{
    Samples all;
    for (const auto& [dbfs, seconds] : steps)
        all = Then(all, StereoSine(1000, rate, Amplitude(dbfs), static_cast<int>(seconds * rate)));
    return all;
}

QJsonObject LoudnessOf(const QJsonValue& file) { return file[QLatin1String("loudness")].toObject(); }
double Number(const QJsonValue& value) { return value.toDouble(999.0); }
}

using LoudnessReportTest = OfflineFixture;

// -23 dBFS on both channels reads -23 LUFS; 20 s each at two levels 10 dB apart: 10 LU range.
TEST_F(LoudnessReportTest, BroadcastConformanceSignalsReadTheirStatedValuesAtBothRates)
{
    QStringList files;
    for (const int rate : { 44100, 48000 }) {
        files << Write(QStringLiteral("tone%1.wav").arg(rate), rate, 2, ToneSteps(rate, { { -23.0, 10.0 } }));
        files << Write(QStringLiteral("range%1.wav").arg(rate), rate, 2, ToneSteps(rate, { { -20.0, 20.0 }, { -30.0, 20.0 } }));
    }
    const ProgramRun run = Run(QStringList { QStringLiteral("--timeline") } + files);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray report = Report(run.out);
    ASSERT_EQ(report.size(), 4);
    for (int i = 0; i < 4; i += 2) {
        SCOPED_TRACE(i);
        const QJsonObject tone = LoudnessOf(report[i]);
        for (const char* key : { "integrated_lufs", "max_momentary_lufs", "max_short_term_lufs" })
            EXPECT_NEAR(Number(tone[QLatin1String(key)]), -23.0, 0.1) << key;
        EXPECT_NEAR(Number(tone[QLatin1String("sample_peak_dbfs")][1]), -23.0, 0.01);
        EXPECT_NEAR(Number(tone[QLatin1String("true_peak_dbtp")][1]), -23.0, 0.2);
        // A steady tone's momentary and short-term, once their windows are full.
        const QJsonArray timeline = report[i][QLatin1String("timeline")].toArray();
        ASSERT_FALSE(timeline.isEmpty());
        EXPECT_NEAR(Number(timeline.last()[QLatin1String("momentary_lufs")]), -23.0, 0.1);
        EXPECT_NEAR(Number(timeline.last()[QLatin1String("short_term_lufs")]), -23.0, 0.1);
        EXPECT_TRUE(timeline.first()[QLatin1String("short_term_lufs")].isNull());
        EXPECT_NEAR(Number(LoudnessOf(report[i + 1])[QLatin1String("range_lu")]), 10.0, 1.0);
    }
}

// Measured on a thread of its own beside the instruments (a spare core),
// the loudness figures are those of a measurement in step, to the bit.
TEST_F(LoudnessReportTest, LoudnessMeasuredAlongsideTheInstrumentsGivesTheSameFigures)
{
    const QString file = Write(QStringLiteral("steps.wav"), 48000, 2, ToneSteps(48000, { { -20.0, 4.0 }, { -30.0, 4.0 } }));
    CAnalyzeOptions alongside;
    alongside.loudnessAlongside = true;
    const QJsonObject beside = LoudnessOf(Analyze(file, alongside));
    EXPECT_EQ(beside, LoudnessOf(Analyze(file)));
    EXPECT_NEAR(Number(beside[QLatin1String("max_momentary_lufs")]), -20.0, 0.1);
}

// L and R alone read -23 LUFS; the centre carries the same tone, so the mix
// is 10 log10(3/2) = 1.76 LU louder. The loud LFE is left out. A 0.3 s file
// is too short to gate: only its true peak is judged. Three levels, so the
// relative gate drops the quiet part on the capture path and the file path.
TEST_F(LoudnessReportTest, ASurroundMixIsJudgedOnEveryChannelAShortFileOnItsPeakAndTheCapturePathAgrees)
{
    const int rate = 48000;
    const Samples pair = ToneSteps(rate, { { -23.0, 5.0 } });
    const Samples lfe = MonoSine(60, rate, Amplitude(-6.0), 5 * rate);
    Samples surround(lfe.size() * 6, 0);
    for (std::size_t f = 0; f < lfe.size(); ++f) {
        surround[6 * f + 0] = surround[6 * f + 1] = surround[6 * f + 2] = pair[2 * f];
        surround[6 * f + 3] = lfe[f];
    }
    Samples blocks = ToneSteps(rate, { { -40.0, 4.0 }, { -18.0, 6.0 }, { -26.0, 5.0 } });
    blocks.resize(blocks.size() / 1024 * 1024); // whole 512-frame blocks
    CLoudnessFeed feed;
    ASSERT_TRUE(feed.Open(rate));
    feed.SetOn(true);
    CLoudnessSnapshot live;
    for (std::size_t at = 0; at < blocks.size(); at += 1024)
        feed.ProcessBlock(blocks.data() + at, 512, live);
    ASSERT_TRUE(live.Has(CLoudnessSnapshot::kIntegrated));

    const ProgramRun run = Run({ QStringLiteral("--check"), QStringLiteral("ebu-r128"),
        Write(QStringLiteral("pair.wav"), rate, 2, pair), Write(QStringLiteral("surround.wav"), rate, 6, surround),
        Write(QStringLiteral("short.wav"), rate, 2, ToneSteps(rate, { { -23.0, 0.3 } })),
        Write(QStringLiteral("blocks.wav"), rate, 2, blocks) });
    EXPECT_EQ(run.exitCode, 3) << run.err.constData();
    const QJsonArray report = Report(run.out);
    ASSERT_EQ(report.size(), 4);
    for (const auto& [i, pass] : { std::pair { 0, true }, { 1, false }, { 2, true } })
        EXPECT_EQ(report[i][QLatin1String("check")][QLatin1String("pass")].toBool(!pass), pass) << i;
    const QJsonObject loudness = LoudnessOf(report[1]);
    EXPECT_NEAR(Number(loudness[QLatin1String("integrated_lufs")]), -21.24, 0.1);
    const QJsonArray peaks = loudness[QLatin1String("sample_peak_dbfs")].toArray();
    ASSERT_EQ(peaks.size(), 6);
    EXPECT_NEAR(peaks[3].toDouble(), -6.0, 0.01); // the LFE's own peak is still reported
    EXPECT_TRUE(peaks[4].isNull());               // a silent channel has no level

    const QJsonObject shortLoudness = LoudnessOf(report[2]);
    for (const char* key : { "integrated_lufs", "range_lu", "max_momentary_lufs", "max_short_term_lufs" })
        EXPECT_TRUE(shortLoudness[QLatin1String(key)].isNull()) << key;
    EXPECT_NEAR(Number(shortLoudness[QLatin1String("sample_peak_dbfs")][0]), -23.0, 0.01);
    EXPECT_TRUE(QJsonDocument(report[2][QLatin1String("notes")].toArray()).toJson().contains("integrated loudness"));
    EXPECT_NEAR(Number(LoudnessOf(report[3])[QLatin1String("integrated_lufs")]), live.integrated, 0.05);
}

// The rules' edges as a meter shows them: a reading on the edge passes, 0.1
// past it fails, each wrong figure gives its own reason.
TEST(DeliveryCheck, JudgesTheRulesEdges)
{
    const struct { const char* rule; double integrated, truePeak; int reasons; } rows[] = {
        { "ebu-r128", -23.5, -1.0, 0 }, { "ebu-r128", -22.5, -3.0, 0 }, { "ebu-r128", -23.6, -3.0, 1 },
        { "ebu-r128", -22.4, -3.0, 1 }, { "ebu-r128", -23.0, -0.9, 1 }, { "ebu-r128", -30.0, 0.5, 2 },
        { "atsc-a85", -26.0, -2.0, 0 }, { "atsc-a85", -26.1, -2.0, 1 }, { "atsc-a85", -24.0, -1.9, 1 },
        { "streaming-14", -13.0, -1.0, 0 }, { "streaming-14", -16.0, -1.0, 1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.rule << " " << row.integrated << " " << row.truePeak);
        const CLoudnessFigures figures { 60.0, row.integrated, std::nullopt, row.truePeak };
        const CDeliveryCheck check = CDeliveryCheck::Evaluate(*CDeliveryRule::Find(QString::fromLatin1(row.rule)), figures);
        EXPECT_EQ(std::pair(check.Passed(), static_cast<int>(check.Reasons().size())), std::pair(row.reasons == 0, row.reasons));
    }
}
