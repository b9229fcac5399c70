// Quasi-peak integrators against the programme-meter figures: 5 kHz tone
// bursts read below the steady tone by set amounts, a cut tone returns at
// the set dB per second, at 44100 and at 48000 Hz alike.
#include "meters/ppm/QuasiPeakIntegrator.h"

#include "tests/common/Decibels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kBlock = 512;
constexpr double kBurstHz = 5000.0;


std::vector<float> Tone(double hz, double amplitude, double seconds, int rate)
{
    std::vector<float> s(static_cast<std::size_t>(std::lround(seconds * rate)));
    for (std::size_t n = 0; n < s.size(); ++n)
        s[n] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(n) / rate));
    return s;
}

// The reading of every block of `signal`, in dB.
std::vector<double> BlockReadings(CQuasiPeakIntegrator& meter, const std::vector<float>& signal)
{
    std::vector<double> readings;
    for (std::size_t i = 0; i < signal.size(); i += kBlock) {
        meter.Process(signal.data() + i, static_cast<int>(std::min<std::size_t>(kBlock, signal.size() - i)));
        readings.push_back(Db(meter.Read()));
    }
    return readings;
}

double Highest(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

CQuasiPeakIntegrator MeterFor(EPpmBallistics mode, int rate)
{
    CQuasiPeakIntegrator meter(CPpmBallistics::QuasiPeak(mode));
    meter.Init(rate);
    return meter;
}

double SteadyReading(EPpmBallistics mode, int rate, double hz, double amplitude)
{
    CQuasiPeakIntegrator meter = MeterFor(mode, rate);
    const auto readings = BlockReadings(meter, Tone(hz, amplitude, 1.0, rate));
    return readings.back();
}

// A burst of whole 5 kHz cycles from a zero crossing, then silence.
double BurstReading(EPpmBallistics mode, int rate, double ms)
{
    CQuasiPeakIntegrator meter = MeterFor(mode, rate);
    std::vector<float> signal = Tone(kBurstHz, 1.0, ms / 1000.0, rate);
    signal.resize(signal.size() + static_cast<std::size_t>(rate / 5), 0.0f);
    return Highest(BlockReadings(meter, signal));
}

struct Burst {
    EPpmBallistics mode;
    double ms, db, tolerance;
};
constexpr EPpmBallistics kDin = EPpmBallistics::IecTypeIDin, kNordic = EPpmBallistics::IecTypeINordic,
                         kBbc = EPpmBallistics::IecTypeIIBbc, kEbu = EPpmBallistics::IecTypeIIEbu;
constexpr Burst kBursts[] = {
    { kBbc, 10, -2, 0.5 }, { kBbc, 5, -4, 0.75 }, { kBbc, 1.5, -9, 1 }, { kBbc, 0.5, -17, 2 }, { kBbc, 100, 0, 0.5 },
    { kEbu, 10, -2, 0.5 }, { kEbu, 5, -4, 0.75 }, { kEbu, 1.5, -9, 1 }, { kEbu, 0.5, -17, 2 }, { kEbu, 100, 0, 0.5 },
    { kDin, 10, -1, 0.5 }, { kDin, 5, -2, 0.75 }, { kDin, 3, -4, 1 },
    { kNordic, 10, -1, 0.5 }, { kNordic, 5, -2, 0.75 }, { kNordic, 3, -4, 1 },
};

class QuasiPeakAtRate : public ::testing::TestWithParam<int> {};

TEST_P(QuasiPeakAtRate, ToneBurstsReadTheirSetDistanceBelowTheSteadyTone)
{
    const int rate = GetParam();
    for (const Burst& b : kBursts) {
        const double steady = SteadyReading(b.mode, rate, kBurstHz, 1.0);
        EXPECT_NEAR(BurstReading(b.mode, rate, b.ms) - steady, b.db, b.tolerance)
            << CPpmBallistics::MenuText(b.mode) << ", " << b.ms << " ms at " << rate;
    }
}

TEST_P(QuasiPeakAtRate, ASteadyToneReadsItsPeakLevel)
{
    const int rate = GetParam();
    for (EPpmBallistics mode : { kDin, kNordic, kBbc, kEbu })
        for (double hz : { 1000.0, 5000.0 })
            EXPECT_NEAR(SteadyReading(mode, rate, hz, 0.1), -20.0, 0.1) << CPpmBallistics::MenuText(mode) << " " << hz;
}

TEST_P(QuasiPeakAtRate, ACutToneReturnsTheSetDbInTheSetTime)
{
    struct Return {
        EPpmBallistics mode;
        double db, seconds;
    };
    const Return returns[] = { { kDin, 20, 1.5 }, { kNordic, 20, 1.7 }, { kBbc, 24, 2.8 }, { kEbu, 24, 2.8 } };
    const int rate = GetParam();
    for (const Return& r : returns) {
        CQuasiPeakIntegrator meter = MeterFor(r.mode, rate);
        std::vector<float> signal = Tone(1000.0, 1.0, 1.0, rate);
        const std::size_t cut = signal.size();
        signal.resize(cut + static_cast<std::size_t>(4 * rate), 0.0f);
        // Sample by sample, so the crossing is timed to the sample.
        const std::vector<double> level = [&] {
            std::vector<double> out;
            for (std::size_t n = 0; n < signal.size(); ++n) {
                meter.Process(&signal[n], 1);
                out.push_back(Db(meter.Current()));
            }
            return out;
        }();
        const double start = level[cut - 1];
        std::size_t n = cut;
        while (n < level.size() && level[n] > start - r.db)
            ++n;
        const double seconds = static_cast<double>(n - cut) / rate;
        EXPECT_NEAR(seconds, r.seconds, 0.1 * r.seconds) << CPpmBallistics::MenuText(r.mode) << " at " << rate;
    }
}

TEST(QuasiPeak, SixteenBitInputReadsAsFloatDoesAndResetForgets)
{
    constexpr int rate = 48000;
    CQuasiPeakIntegrator meter = MeterFor(kBbc, rate);
    std::vector<std::int16_t> stereo(2 * rate);
    for (int n = 0; n < rate; ++n) // right silent, left a -20 dBFS 1 kHz tone
        stereo[static_cast<std::size_t>(2 * n)] = static_cast<std::int16_t>(std::lround(3276.8 * std::sin(2 * std::numbers::pi * 1000.0 * n / rate)));
    meter.Process(stereo.data(), rate, 0);
    EXPECT_NEAR(Db(meter.Read()), -20.0, 0.1);
    meter.Reset();
    meter.Process(stereo.data(), rate, 1);
    EXPECT_EQ(meter.Read(), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Rates, QuasiPeakAtRate, ::testing::Values(44100, 48000));

} // namespace
