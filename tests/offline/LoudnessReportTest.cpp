// Loudness in the offline program's report, through the built program.
#include "OfflineFixture.h"
#include "ProgramRun.h"
#include "meters/loudness/LoudnessFeed.h"
#include "offline/LoudnessLayout.h"

#include <sndfile.h>

#include <QJsonDocument>
#include <algorithm>
#include <cmath>

using namespace testfiles;
using namespace programrun;

namespace {
// A 1 kHz tone's 16-bit amplitude for a peak level in dBFS.
double Amplitude(double dbfs) { return 32768.0 * std::pow(10.0, dbfs / 20.0); }

// Consecutive stereo 1 kHz tones, each {dBFS, seconds}.
Samples ToneSteps(int rate, std::initializer_list<std::pair<double, double>> steps)
{
    Samples all;
    for (const auto& [dbfs, seconds] : steps) {
        const Samples part = StereoSine(1000, rate, Amplitude(dbfs), static_cast<int>(seconds * rate));
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

QJsonObject LoudnessOf(const QJsonValue& file) { return file.toObject()[QLatin1String("loudness")].toObject(); }

double Number(const QJsonObject& loudness, const char* key) { return loudness[QLatin1String(key)].toDouble(999.0); }
}

class LoudnessReportTest : public OfflineFixture {};

TEST_F(LoudnessReportTest, BroadcastConformanceSignalsReadTheirStatedValuesAtBothRates)
{
    // -23 dBFS on both channels reads -23 LUFS; 20 s each at two levels 10 dB apart: 10 LU range.
    QStringList files;
    for (const int rate : { 44100, 48000 }) {
        files << Write(QStringLiteral("tone%1.wav").arg(rate), rate, 2, ToneSteps(rate, { { -23.0, 10.0 } }));
        files << Write(QStringLiteral("range%1.wav").arg(rate), rate, 2, ToneSteps(rate, { { -20.0, 20.0 }, { -30.0, 20.0 } }));
    }
    const ProgramRun run = RunAnalyzer(QStringList { QStringLiteral("--timeline") } + files);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray report = Report(run.out);
    ASSERT_EQ(report.size(), 4);
    for (int i = 0; i < 4; i += 2) {
        const QJsonObject tone = LoudnessOf(report[i]);
        EXPECT_NEAR(Number(tone, "integrated_lufs"), -23.0, 0.1) << i;
        EXPECT_NEAR(Number(tone, "max_momentary_lufs"), -23.0, 0.1) << i;
        EXPECT_NEAR(Number(tone, "max_short_term_lufs"), -23.0, 0.1) << i;
        for (int ch = 0; ch < 2; ++ch) {
            EXPECT_NEAR(tone[QLatin1String("sample_peak_dbfs")].toArray()[ch].toDouble(), -23.0, 0.01) << i;
            EXPECT_NEAR(tone[QLatin1String("true_peak_dbtp")].toArray()[ch].toDouble(), -23.0, 0.2) << i;
        }
        // A steady tone's momentary and short-term, once their windows are full.
        const QJsonArray timeline = report[i].toObject()[QLatin1String("timeline")].toArray();
        ASSERT_FALSE(timeline.isEmpty());
        const QJsonObject late = timeline.last().toObject();
        EXPECT_NEAR(late[QLatin1String("momentary_lufs")].toDouble(), -23.0, 0.1) << i;
        EXPECT_NEAR(late[QLatin1String("short_term_lufs")].toDouble(), -23.0, 0.1) << i;
        EXPECT_TRUE(timeline.first().toObject()[QLatin1String("short_term_lufs")].isNull()) << i;

        EXPECT_NEAR(Number(LoudnessOf(report[i + 1]), "range_lu"), 10.0, 1.0) << i;
    }
}

// Measured on a thread of its own beside the instruments (a spare core),
// the loudness figures are those of a measurement in step, to the bit.
TEST_F(LoudnessReportTest, LoudnessMeasuredAlongsideTheInstrumentsGivesTheSameFigures)
{
    const QString file = Write(QStringLiteral("steps.wav"), 48000, 2, ToneSteps(48000, { { -20.0, 4.0 }, { -30.0, 4.0 } }));
    CAnalyzeOptions alongside;
    alongside.loudnessAlongside = true;
    const QJsonObject inStep = LoudnessOf(Analyze(file));
    const QJsonObject beside = LoudnessOf(Analyze(file, alongside));
    EXPECT_EQ(beside, inStep);
    EXPECT_NEAR(Number(beside, "max_momentary_lufs"), -20.0, 0.1);
}

// L and R alone read -23 LUFS; the centre carries the same tone, so the mix
// is 10 log10(3/2) = 1.76 LU louder. The loud LFE is left out. A 0.3 s file
// is too short to gate: only its true peak is judged.
TEST_F(LoudnessReportTest, ASurroundMixIsJudgedOnEveryChannelAndAShortFileOnItsPeakOnly)
{
    const int rate = 48000;
    const int frames = 5 * rate;
    const Samples pair = ToneSteps(rate, { { -23.0, 5.0 } });
    const Samples lfe = MonoSine(60, rate, Amplitude(-6.0), frames);
    Samples surround(static_cast<std::size_t>(frames) * 6, 0);
    for (std::size_t f = 0; f < static_cast<std::size_t>(frames); ++f) {
        surround[6 * f + 0] = surround[6 * f + 2] = pair[2 * f];
        surround[6 * f + 1] = pair[2 * f + 1];
        surround[6 * f + 3] = lfe[f];
    }
    const ProgramRun run = RunAnalyzer({ QStringLiteral("--check"), QStringLiteral("ebu-r128"),
        Write(QStringLiteral("pair.wav"), rate, 2, pair), Write(QStringLiteral("surround.wav"), rate, 6, surround),
        Write(QStringLiteral("short.wav"), rate, 2, ToneSteps(rate, { { -23.0, 0.3 } })) });
    EXPECT_EQ(run.exitCode, 3) << run.err.constData();
    const QJsonArray report = Report(run.out);
    ASSERT_EQ(report.size(), 3);
    const auto passed = [&](int i) { return report[i][QLatin1String("check")][QLatin1String("pass")].toBool(); };
    EXPECT_TRUE(passed(0));
    EXPECT_FALSE(passed(1));
    EXPECT_TRUE(passed(2));
    const QJsonObject loudness = LoudnessOf(report[1]);
    EXPECT_NEAR(Number(loudness, "integrated_lufs"), -21.24, 0.1);
    const QJsonArray peaks = loudness[QLatin1String("sample_peak_dbfs")].toArray();
    ASSERT_EQ(peaks.size(), 6);
    EXPECT_NEAR(peaks[3].toDouble(), -6.0, 0.01); // the LFE's own peak is still reported
    EXPECT_TRUE(peaks[4].isNull());               // a silent channel has no level

    const QJsonObject shortLoudness = LoudnessOf(report[2]);
    for (const char* key : { "integrated_lufs", "range_lu", "max_momentary_lufs", "max_short_term_lufs" })
        EXPECT_TRUE(shortLoudness[QLatin1String(key)].isNull()) << key;
    EXPECT_NEAR(shortLoudness[QLatin1String("sample_peak_dbfs")].toArray()[0].toDouble(), -23.0, 0.01);
    const QJsonArray notes = report[2][QLatin1String("notes")].toArray();
    EXPECT_TRUE(std::any_of(notes.begin(), notes.end(),
        [](const QJsonValue& note) { return note.toString().contains(QLatin1String("integrated loudness")); }));
}

TEST_F(LoudnessReportTest, TheCapturePathAndTheFilePathAgreeOnIntegratedLoudness)
{
    // Three levels, so the relative gate drops the quiet part on both paths.
    const int rate = 48000;
    Samples blocks = ToneSteps(rate, { { -40.0, 4.0 }, { -18.0, 6.0 }, { -26.0, 5.0 } });
    blocks.resize(blocks.size() / 1024 * 1024); // whole 512-frame blocks
    CLoudnessFeed feed;
    ASSERT_TRUE(feed.Open(rate));
    feed.SetOn(true);
    CLoudnessSnapshot live;
    const std::size_t frames = blocks.size() / 2;
    for (std::size_t at = 0; at + 512 <= frames; at += 512)
        feed.ProcessBlock(blocks.data() + 2 * at, 512, live);
    ASSERT_TRUE(live.Has(CLoudnessSnapshot::kIntegrated));

    // The same blocks as a file.
    const ProgramRun run = RunAnalyzer({ Write(QStringLiteral("blocks.wav"), rate, 2, blocks) });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_NEAR(Number(LoudnessOf(Report(run.out)[0]), "integrated_lufs"), live.integrated, 0.05);
}

TEST(LoudnessLayout, ChannelMasksPutEachChannelWhereItsWeightIs)
{
    // Model order for six channels: L R C LFE Ls Rs.
    struct Row {
        std::vector<int> map;
        std::vector<int> sources; // file channel per model slot
        bool note;
    };
    const Row rows[] = {
        { { SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE, SF_CHANNEL_MAP_REAR_LEFT,
            SF_CHANNEL_MAP_REAR_RIGHT },
          { 0, 1, 2, 3, 4, 5 }, false },
        // Surrounds first, LFE last, as some containers order them.
        { { SF_CHANNEL_MAP_SIDE_LEFT, SF_CHANNEL_MAP_SIDE_RIGHT, SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT,
            SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE },
          { 2, 3, 4, 5, 0, 1 }, false },
        // No LFE to leave out: the usual order stands, with a note.
        { { SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_REAR_CENTER,
            SF_CHANNEL_MAP_SIDE_LEFT, SF_CHANNEL_MAP_SIDE_RIGHT },
          { 0, 1, 2, 3, 4, 5 }, true },
        // No mask at all.
        { {}, { 0, 1, 2, 3, 4, 5 }, false },
    };
    for (const Row& row : rows) {
        const CLoudnessLayout layout = CLoudnessLayout::For(6, row.map);
        for (int slot = 0; slot < 6; ++slot)
            EXPECT_EQ(layout.SourceOf(slot), row.sources[static_cast<std::size_t>(slot)]) << slot;
        EXPECT_EQ(!layout.Note().isEmpty(), row.note);
    }
    // The rearrangement moves samples, not just indices.
    const CLoudnessLayout moved = CLoudnessLayout::For(6, rows[1].map);
    const float file[6] = { 10, 11, 12, 13, 14, 15 };
    float model[6] = {};
    moved.Rearrange(file, model, 6, 1);
    EXPECT_EQ(model[0], 12.0f); // left
    EXPECT_EQ(model[3], 15.0f); // LFE
    EXPECT_EQ(model[4], 10.0f); // left surround
}
