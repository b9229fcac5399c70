#pragma once
// Test signals for the loudness cases: a stereo 1 kHz sine, the same on both
// channels, in steps of (level in dBFS of its peak, seconds), as interleaved
// 16-bit or float samples, fed in blocks the size the live capture uses.
#include "meters/loudness/LoudnessFeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

struct ToneStep {
    double dbfs;
    double seconds;
};

constexpr std::size_t kBlockFrames = 512;

template <typename T> std::vector<T> ToneSamples(unsigned rate, const std::vector<ToneStep>& steps)
{
    std::vector<T> samples;
    long n = 0;
    for (const ToneStep& step : steps) {
        const double gain = std::pow(10.0, step.dbfs / 20.0);
        for (long i = std::lround(step.seconds * rate); i > 0; --i, ++n) {
            // A second holds a whole number of periods: the phase restarts every `rate` samples.
            const double x = gain * std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(n % rate) / rate);
            const T value = std::is_same_v<T, float> ? static_cast<T>(x)
                                                     : static_cast<T>(std::clamp(std::lround(x * 32768.0), -32768L, 32767L));
            samples.insert(samples.end(), { value, value });
        }
    }
    return samples;
}

// Whole blocks only, as the capture delivers them.
inline void FeedBlocks(CLoudnessFeed& feed, const std::vector<std::int16_t>& samples, CLoudnessSnapshot& s)
{
    for (std::size_t at = 0; at + 2 * kBlockFrames <= samples.size(); at += 2 * kBlockFrames)
        ASSERT_TRUE(feed.ProcessBlock(samples.data() + at, kBlockFrames, s));
}

// A feed opened at `rate` and switched on.
struct COnFeed : CLoudnessFeed {
    explicit COnFeed(unsigned rate = 48000)
    {
        Open(rate);
        SetOn(true);
    }
};
