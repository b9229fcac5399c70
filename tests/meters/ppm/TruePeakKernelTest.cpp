// The true-peak filter's kernels: the widest one this processor runs and
// the portable one every x86-64 runs must read the same true peaks, however
// the samples are cut into calls.
#include "meters/ppm/TruePeakDetector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {
using EKernel = CTruePeakDetector::EKernel;

double TruePeakDb(double linear) { return 20.0 * std::log10(linear); }

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

// A sine at a quarter of the rate, four samples a cycle, repeated.
std::vector<float> QuarterRateCycles(const float (&cycle)[4])
{
    std::vector<float> samples(4800);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = cycle[i % 4];
    return samples;
}

constexpr float kSampleAtMinus6Db = 0.50118723f;
const std::vector<std::vector<int>> kTruePeakCuts = { { 4800 }, { 64 }, { 1 }, { 7, 8, 9 }, { 13, 65, 3 } };
}

TEST(TruePeakKernels, QuarterRateSineReadsItsCrestAtEveryCut)
{
    // Samples at -6 dBFS: at 45 degrees the crest lies between two samples,
    // 3 dB higher; at 0 degrees every other sample is the crest itself.
    const struct {
        double phase;
        float cycle[4];
        double dbtp;
    } rows[] = {
        { 45.0, { kSampleAtMinus6Db, kSampleAtMinus6Db, -kSampleAtMinus6Db, -kSampleAtMinus6Db }, -3.0 },
        { 0.0, { kSampleAtMinus6Db, 0.0f, -kSampleAtMinus6Db, 0.0f }, -6.0 },
    };
    for (const auto& row : rows) {
        const std::vector<float> sine = QuarterRateCycles(row.cycle);
        for (EKernel kernel : { EKernel::Widest, EKernel::Portable }) {
            for (const std::vector<int>& cuts : kTruePeakCuts) {
                const double reading = TruePeakDb(TruePeakOf(kernel, sine, cuts));
                EXPECT_GE(reading, row.dbtp - 0.4) << row.phase << " degrees, " << cuts.size() << " cut lengths";
                EXPECT_LE(reading, row.dbtp + 0.2) << row.phase << " degrees, " << cuts.size() << " cut lengths";
            }
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

TEST(TruePeakKernels, WidestAndPortableKernelsReadBitIdenticalPeaks)
{
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.2f);
    std::vector<float> samples(10000);
    for (float& s : samples)
        s = noise(random);
    for (const std::vector<int>& cuts : kTruePeakCuts)
        EXPECT_EQ(TruePeakOf(EKernel::Widest, samples, cuts), TruePeakOf(EKernel::Portable, samples, cuts));
}
