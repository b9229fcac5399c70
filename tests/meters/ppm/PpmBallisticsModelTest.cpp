// The ballistics modes fed 512-frame blocks as the hub feeds them, and the
// true-peak filter's kernels: the widest one this processor runs and the
// portable one must read the same true peaks, however the samples are cut.
#include "meters/ppm/PpmCaptureBallistics.h"
#include "meters/ppm/PpmModel.h"
#include "meters/ppm/TruePeakDetector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr int kBlockFrames = 512;
constexpr int kRates[] = { 44100, 48000 };
constexpr double kBurstHz = 5000;
constexpr EPpmBallistics kDin = EPpmBallistics::IecTypeIDin, kNordic = EPpmBallistics::IecTypeINordic,
                         kBbc = EPpmBallistics::IecTypeIIBbc, kEbu = EPpmBallistics::IecTypeIIEbu,
                         kTruePeak = EPpmBallistics::TruePeak;
using EKernel = CTruePeakDetector::EKernel;

// Stereo 16-bit whole blocks as the device delivers them: tone pieces (hz, peak dB, ms; hz 0 is
// silence) on the left, the right channel silent, the last block filled up with silence.
struct Piece { double hz, db, ms; };
std::vector<std::int16_t> Blocks(int rate, std::initializer_list<Piece> pieces)
{
    std::vector<std::int16_t> s;
    for (const Piece& p : pieces)
        for (long i = 0, n = std::lround(p.ms * rate / 1000.0); i < n; ++i) {
            s.push_back(static_cast<std::int16_t>(std::lround(32767.0 * std::pow(10.0, p.db / 20.0) * std::sin(2 * std::numbers::pi * p.hz * i / rate))));
            s.push_back(0);
        }
    s.resize((s.size() + 2 * kBlockFrames - 1) / (2 * kBlockFrames) * 2 * kBlockFrames, 0);
    return s;
}
Piece Silence(double ms) { return { 0, 0, ms }; }

// The capture half and the model, wired as the hub wires them.
struct CMeter {
    CMeter(EPpmBallistics mode, int rate) : rate(rate) { Choose(mode); }
    void Choose(EPpmBallistics mode)
    {
        capture.SetMode(mode);
        model.SetBallistics(mode);
    }
    // Feeds every block; returns the left channel's reading after each.
    std::vector<double> Feed(const std::vector<std::int16_t>& samples)
    {
        std::vector<double> readings;
        for (std::size_t at = 0; at < samples.size(); at += 2 * kBlockFrames) {
            float levels[2] = {};
            int mode = -1;
            EXPECT_TRUE(capture.Measure(&samples[at], kBlockFrames, rate, levels, mode));
            for (unsigned c = 0; c < 2; ++c)
                model.InputLevel(levels[c], c, static_cast<double>(kBlockFrames) / rate);
            readings.push_back(model.ReadingDb(0));
        }
        return readings;
    }

    int rate;
    CPpmCaptureBallistics capture;
    CPpmModel model;
};

// Feeds `samples` in calls of the given lengths, repeated, and reads once.
float TruePeakOf(EKernel kernel, const std::vector<float>& samples, const std::vector<int>& cuts)
{
    CTruePeakDetector detector;
    detector.Init(48000.0, kernel);
    std::size_t done = 0;
    for (std::size_t c = 0; done < samples.size(); ++c) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(cuts[c % cuts.size()]), samples.size() - done);
        detector.Process(samples.data() + done, static_cast<int>(n));
        done += n;
    }
    return detector.Read();
}

std::string Name(EPpmBallistics mode, int rate) { return std::string(CPpmBallistics::MenuText(mode)) + " at " + std::to_string(rate); }
}

TEST(PpmBallisticsModes, ToneBurstsReadTheirSetDistanceBelowTheSteadyTone)
{
    const struct { EPpmBallistics mode; double burstMs, db, tolerance; } rows[] = {
        { kBbc, 100, 0, 0.5 }, { kBbc, 10, -2, 0.5 }, { kBbc, 5, -4, 0.75 }, { kBbc, 1.5, -9, 1 }, { kBbc, 0.5, -17, 2 },
        { kEbu, 100, 0, 0.5 }, { kEbu, 10, -2, 0.5 }, { kEbu, 5, -4, 0.75 }, { kEbu, 1.5, -9, 1 }, { kEbu, 0.5, -17, 2 },
        { kDin, 10, -1, 0.5 }, { kDin, 5, -2, 0.75 }, { kDin, 3, -4, 1 },
        { kNordic, 10, -1, 0.5 }, { kNordic, 5, -2, 0.75 }, { kNordic, 3, -4, 1 },
    };
    for (int rate : kRates) {
        for (const auto& row : rows) {
            SCOPED_TRACE(Name(row.mode, rate) + ", " + std::to_string(row.burstMs) + " ms");
            CMeter steady(row.mode, rate);
            steady.Feed(Blocks(rate, { { kBurstHz, -10, 1000 } }));
            const double reference = steady.model.ReadingDb(0);
            EXPECT_NEAR(reference, -10, 0.3);
            const std::vector<double> burst = CMeter(row.mode, rate).Feed(
                Blocks(rate, { Silence(50), { kBurstHz, -10, row.burstMs }, Silence(300) }));
            EXPECT_NEAR(*std::max_element(burst.begin(), burst.end()) - reference, row.db, row.tolerance);
        }
    }
}

// True Peak's return follows the decay-time menu: Fast, Medium, Slow fall 34, 17 and 8.6 dB/s.
TEST(PpmBallisticsModes, ReturnsFallTheirDbInTheirTimeAtBothRatesAndAnyLevel)
{
    const struct { EPpmBallistics mode; unsigned decayTime; double toneDb, dropDb, seconds; } rows[] = {
        { kDin, 20, -3, 20, 1.5 }, { kNordic, 20, -3, 20, 1.7 }, { kBbc, 20, -3, 24, 2.8 }, { kEbu, 20, -3, 24, 2.8 },
        { kTruePeak, 10, -3, 17, 0.5 }, { kTruePeak, 20, -3, 17, 1.0 }, { kTruePeak, 20, -40, 17, 1.0 },
        { kTruePeak, 30, -3, 17, 17 / 8.6 },
    };
    for (int rate : kRates) {
        for (const auto& row : rows) {
            SCOPED_TRACE(Name(row.mode, rate) + ", decay " + std::to_string(row.decayTime) + " from " + std::to_string(row.toneDb));
            CMeter meter(row.mode, rate);
            meter.model.SetDecayTime(row.decayTime);
            meter.Feed(Blocks(rate, { { 1000, row.toneDb, 1000 } }));
            const double start = meter.model.ReadingDb(0);
            EXPECT_NEAR(start, row.toneDb, 0.3);
            EXPECT_EQ(meter.model.ReadingDb(1), CPpmDbFall::kFloorDb) << "the silent channel reads nothing";
            const std::vector<double> after = meter.Feed(Blocks(rate, { Silence(row.seconds * 1500) }));
            const auto fallen = std::find_if(after.begin(), after.end(), [&](double db) { return db <= start - row.dropDb; });
            ASSERT_NE(fallen, after.end()) << "never fell " << row.dropDb << " dB";
            const double seconds = static_cast<double>(fallen - after.begin() + 1) * kBlockFrames / rate;
            EXPECT_NEAR(seconds, row.seconds, 0.1 * row.seconds);
        }
    }
}

TEST(TruePeakKernels, OneFullScaleSampleReadsTheFiltersLargestTapWhereverItFalls)
{
    // The largest tap of the published filter is 0.97216796875 (-0.245 dB).
    // 45 samples: five groups of eight and a tail of five.
    for (int at = 0; at < 34; ++at) {
        std::vector<float> samples(45, 0.0f);
        samples[static_cast<std::size_t>(at)] = 1.0f;
        for (EKernel kernel : { EKernel::Widest, EKernel::Portable })
            EXPECT_FLOAT_EQ(TruePeakOf(kernel, samples, { 45 }), 0.97216796875f) << "impulse at " << at;
    }
}

TEST(TruePeakKernels, BothKernelsReadBitIdenticalPeaksHoweverTheSamplesAreCut)
{
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.2f);
    std::vector<float> samples(10000);
    for (float& s : samples)
        s = noise(random);
    const float whole = TruePeakOf(EKernel::Portable, samples, { 10000 });
    for (const std::vector<int>& cuts : std::vector<std::vector<int>> { { 64 }, { 1 }, { 7, 8, 9 }, { 13, 65, 3 } }) {
        EXPECT_EQ(TruePeakOf(EKernel::Widest, samples, cuts), whole) << cuts.size() << " cut lengths";
        EXPECT_EQ(TruePeakOf(EKernel::Portable, samples, cuts), whole) << cuts.size() << " cut lengths";
    }
}
