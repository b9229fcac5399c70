// The PPM's ballistics modes through the model, fed block by block as the
// hub feeds it: the capture half measures each 512-frame block, the model
// turns the block's reading into the bar's level, with the block's real
// duration. Tone bursts, returns and the true-peak case at 44100 and
// 48000 Hz.
#include "meters/ppm/PpmCaptureBallistics.h"
#include "meters/ppm/PpmLevelTable.h"
#include "meters/ppm/PpmModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kBlockFrames = 512;
constexpr int kRates[] = { 44100, 48000 };
constexpr double kPi = 3.14159265358979323846;
constexpr double kBurstHz = 5000;

// Stereo 16-bit blocks, both channels alike, as the device delivers them.
class CSignal {
public:
    explicit CSignal(int rate) : m_rate(rate) {}
    // A sine of `hz` at `peakDb` dBFS peak for `ms` milliseconds, from
    // phase `phase`.
    CSignal& Tone(double hz, double peakDb, double ms, double phase = 0)
    {
        const double amplitude = 32767.0 * std::pow(10.0, peakDb / 20.0);
        const int n = Frames(ms);
        for (int i = 0; i < n; ++i) {
            const auto x = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * kPi * hz * i / m_rate + phase)));
            m_samples.push_back(x);
            m_samples.push_back(x);
        }
        return *this;
    }
    CSignal& Silence(double ms)
    {
        m_samples.resize(m_samples.size() + 2 * static_cast<std::size_t>(Frames(ms)), 0);
        return *this;
    }
    // Whole blocks: the last one is filled up with silence.
    const std::vector<std::int16_t>& Blocks()
    {
        const std::size_t block = 2 * kBlockFrames;
        m_samples.resize((m_samples.size() + block - 1) / block * block, 0);
        return m_samples;
    }
    int Frames(double ms) const { return static_cast<int>(std::lround(ms * m_rate / 1000.0)); }

private:
    int m_rate;
    std::vector<std::int16_t> m_samples;
};

// The model and the capture half, wired as the hub wires them.
class CMeter {
public:
    CMeter(EPpmBallistics mode, int rate) : m_rate(rate) { Choose(mode); }
    void Choose(EPpmBallistics mode)
    {
        m_capture.SetMode(mode);
        m_model.SetBallistics(mode);
    }
    // Feeds every block; returns the highest dB reading of channel 0 and
    // records the reading after each block.
    double Feed(const std::vector<std::int16_t>& samples)
    {
        double highest = CPpmDbFall::kFloorDb;
        for (std::size_t at = 0; at < samples.size(); at += 2 * kBlockFrames) {
            FeedBlock(&samples[at]);
            highest = std::max(highest, m_model.ReadingDb(0));
            m_readings.push_back(m_model.ReadingDb(0));
        }
        return highest;
    }
    void FeedBlock(const std::int16_t* block)
    {
        float levels[2] = {};
        int mode = -1;
        if (m_capture.Measure(block, kBlockFrames, m_rate, levels, mode)) {
            for (unsigned c = 0; c < 2; ++c)
                m_model.InputLevel(levels[c], c, static_cast<double>(kBlockFrames) / m_rate);
        } else {
            for (int c = 0; c < 2; ++c)
                m_model.Input(CPpmLevelTable::BlockPeak(block, kBlockFrames, c), static_cast<unsigned>(c));
        }
    }
    CPpmModel& Model() { return m_model; }
    std::vector<double>& Readings() { return m_readings; }

private:
    int m_rate;
    CPpmCaptureBallistics m_capture;
    CPpmModel m_model;
    std::vector<double> m_readings;
};

// The steady reading of a long 5 kHz tone at -10 dBFS.
constexpr double kReferenceDb = -10;

double SteadyReading(EPpmBallistics mode, int rate)
{
    CMeter meter(mode, rate);
    meter.Feed(CSignal(rate).Tone(kBurstHz, kReferenceDb, 1000).Blocks());
    return meter.Model().ReadingDb(0);
}
}

TEST(PpmModelBallistics, QuasiPeakModesReadASteadyToneAtItsPeak)
{
    for (int rate : kRates) {
        for (EPpmBallistics mode : { EPpmBallistics::IecTypeIDin, EPpmBallistics::IecTypeINordic,
                 EPpmBallistics::IecTypeIIBbc, EPpmBallistics::IecTypeIIEbu }) {
            EXPECT_NEAR(SteadyReading(mode, rate), kReferenceDb, 0.3) << CPpmBallistics::MenuText(mode) << " " << rate;
        }
    }
}

TEST(PpmModelBallistics, ToneBurstsReadBelowTheSteadyTone)
{
    const struct {
        EPpmBallistics mode;
        double burstMs;
        double expectedDb; // against the steady tone
        double tolerance;
    } rows[] = {
        { EPpmBallistics::IecTypeIIBbc, 100, 0, 0.5 },
        { EPpmBallistics::IecTypeIIBbc, 10, -2, 0.5 },
        { EPpmBallistics::IecTypeIIBbc, 5, -4, 0.75 },
        { EPpmBallistics::IecTypeIIBbc, 1.5, -9, 1 },
        { EPpmBallistics::IecTypeIIBbc, 0.5, -17, 2 },
        { EPpmBallistics::IecTypeIIEbu, 100, 0, 0.5 },
        { EPpmBallistics::IecTypeIIEbu, 10, -2, 0.5 },
        { EPpmBallistics::IecTypeIIEbu, 5, -4, 0.75 },
        { EPpmBallistics::IecTypeIIEbu, 1.5, -9, 1 },
        { EPpmBallistics::IecTypeIIEbu, 0.5, -17, 2 },
        { EPpmBallistics::IecTypeIDin, 10, -1, 0.5 },
        { EPpmBallistics::IecTypeIDin, 5, -2, 0.75 },
        { EPpmBallistics::IecTypeIDin, 3, -4, 1 },
        { EPpmBallistics::IecTypeINordic, 10, -1, 0.5 },
        { EPpmBallistics::IecTypeINordic, 5, -2, 0.75 },
        { EPpmBallistics::IecTypeINordic, 3, -4, 1 },
    };
    for (int rate : kRates) {
        for (const auto& row : rows) {
            const double reference = SteadyReading(row.mode, rate);
            CMeter meter(row.mode, rate);
            const double burst = meter.Feed(CSignal(rate).Silence(50).Tone(kBurstHz, kReferenceDb, row.burstMs).Silence(300).Blocks());
            EXPECT_NEAR(burst - reference, row.expectedDb, row.tolerance)
                << CPpmBallistics::MenuText(row.mode) << " " << row.burstMs << " ms at " << rate << " Hz";
        }
    }
}

TEST(PpmModelBallistics, ReturnsFallTheirDbInTheirTimeAtBothRatesAndAnyLevel)
{
    const struct {
        EPpmBallistics mode;
        unsigned decayTime; // the decay-time menu (True Peak only)
        double toneDb;
        double dropDb;
        double seconds;
    } rows[] = {
        { EPpmBallistics::IecTypeIDin, 20, -3, 20, 1.5 },
        { EPpmBallistics::IecTypeINordic, 20, -3, 20, 1.7 },
        { EPpmBallistics::IecTypeIIBbc, 20, -3, 24, 2.8 },
        { EPpmBallistics::IecTypeIIEbu, 20, -3, 24, 2.8 },
        // The decay-time menu gives the true peak's return: Fast, Medium,
        // Slow fall 34, 17 and 8.6 dB per second wherever the bar is.
        { EPpmBallistics::TruePeak, 10, -3, 17, 0.5 },
        { EPpmBallistics::TruePeak, 20, -3, 17, 1.0 },
        { EPpmBallistics::TruePeak, 20, -40, 17, 1.0 },
        { EPpmBallistics::TruePeak, 30, -3, 17, 17 / 8.6 },
    };
    for (int rate : kRates) {
        for (const auto& row : rows) {
            CMeter meter(row.mode, rate);
            meter.Model().SetDecayTime(row.decayTime);
            meter.Feed(CSignal(rate).Tone(1000, row.toneDb, 1000).Blocks());
            const double start = meter.Model().ReadingDb(0);
            meter.Readings().clear();
            meter.Feed(CSignal(rate).Silence(row.seconds * 1500).Blocks());
            const auto& after = meter.Readings();
            const auto fallen = std::find_if(after.begin(), after.end(), [&](double db) { return db <= start - row.dropDb; });
            ASSERT_NE(fallen, after.end()) << CPpmBallistics::MenuText(row.mode) << " never fell " << row.dropDb << " dB";
            const double seconds = static_cast<double>(fallen - after.begin() + 1) * kBlockFrames / rate;
            EXPECT_NEAR(seconds, row.seconds, 0.1 * row.seconds)
                << CPpmBallistics::MenuText(row.mode) << " decay " << row.decayTime << " from " << row.toneDb << " dB at " << rate << " Hz";
        }
    }
}

TEST(PpmModelBallistics, TruePeakSeesTheCrestBetweenSamplesDigitalPeakDoesNot)
{
    // A quarter-rate sine at 45 degrees: every sample lies at -6 dBFS, the
    // crest between them 3 dB higher.
    // 16422 is the lowest magnitude of -6.0 dBFS on the meter's scale.
    constexpr int kRate = 48000;
    constexpr std::int16_t kQuarter[4] = { 16422, 16422, -16422, -16422 };
    std::vector<std::int16_t> blocks;
    for (int i = 0; i < 48 * kBlockFrames; ++i) {
        blocks.push_back(kQuarter[i % 4]);
        blocks.push_back(kQuarter[i % 4]);
    }

    CMeter truePeak(EPpmBallistics::TruePeak, kRate);
    const double reading = truePeak.Feed(blocks);
    EXPECT_GE(reading, -3.4);
    EXPECT_LE(reading, -2.8);
    const double readoutDb = CPpmLevelTable::DbTable()[truePeak.Model().Channel(0).maxLevel];
    EXPECT_GE(readoutDb, -3.4) << "the readout's maximum is the true peak";
    EXPECT_LE(readoutDb, -2.8);

    CMeter digital(EPpmBallistics::DigitalPeak, kRate);
    digital.Feed(blocks);
    EXPECT_EQ(CPpmModel::ReadoutText(digital.Model().Channel(0).maxLevel), "-6.0");
}

TEST(PpmModelBallistics, ChoosingAModeStartsTheIntegratorsFromSilence)
{
    // A charged integrator carried into the new choice would read the old
    // tone for seconds; re-choosing the same mode also starts afresh.
    for (EPpmBallistics next : { EPpmBallistics::IecTypeIIBbc, EPpmBallistics::IecTypeIDin, EPpmBallistics::TruePeak }) {
        CMeter meter(EPpmBallistics::IecTypeIDin, 48000);
        meter.Feed(CSignal(48000).Tone(1000, 0, 500).Blocks());
        ASSERT_GT(meter.Model().ReadingDb(0), -1.0);
        meter.Choose(next);
        meter.Feed(CSignal(48000).Silence(10).Blocks());
        EXPECT_EQ(meter.Model().ReadingDb(0), CPpmDbFall::kFloorDb) << CPpmBallistics::MenuText(next);
        EXPECT_EQ(meter.Model().Channel(0).level, 0u);
        EXPECT_EQ(meter.Model().Channel(0).maxLevel, 0u) << "the readout starts again with the mode";
    }
}

TEST(PpmModelBallistics, InDbModesTicksAndBlockPeaksLeaveTheBarToItsReading)
{
    CPpmModel model;
    model.SetBallistics(EPpmBallistics::IecTypeIIBbc);
    model.InputLevel(0.5f, 0, 0.01); // -6 dB
    const unsigned level = model.Channel(0).level;
    ASSERT_EQ(CPpmLevelTable::DbTable()[level], -6.1) << "the highest step at or below the reading";
    for (int t = 0; t < 50; ++t)
        model.Tick();
    EXPECT_EQ(model.Channel(0).level, level);
    EXPECT_FALSE(model.Input(32767, 0));
    EXPECT_EQ(model.Channel(0).level, level);
    model.InputLevel(2.0f, 0, 0.01); // above full scale (true peak)
    EXPECT_EQ(model.Channel(0).level, 360u);
}
