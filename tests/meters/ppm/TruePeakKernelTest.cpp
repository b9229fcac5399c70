// The true-peak filter's kernels: the widest one this processor runs and
// the portable one every x86-64 runs must read the same true peaks, however
// the samples are cut into calls.
#include "meters/ppm/TruePeakDetector.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {
using EKernel = CTruePeakDetector::EKernel;

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
