// The loudness meter's cost on the capture thread: one 512-frame stereo
// block at 48 kHz through the capture-side feed (histogram mode, true peak
// on), snapshot included. A block lasts 10.667 ms; "rt_factor" is that time
// over the time per block.
//
// LoudnessExactFloat: file analysis' cost per second of 48 kHz stereo float
// audio in exact mode; "rt_factor" is one second over the time it takes.
#include "meters/loudness/LoudnessFeed.h"
#include "meters/loudness/LoudnessModel.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {
constexpr int kRate = 48000;
constexpr int kBlockFrames = 512;
constexpr double kBlockSeconds = static_cast<double>(kBlockFrames) / kRate;

// One second of a two-tone stereo signal with a little pseudo-noise, so the
// filters and the true-peak interpolator see changing values.
template <typename T> std::vector<T> OneSecond(double scale)
{
    std::vector<T> s(2 * kRate);
    std::uint32_t noise = 12345;
    for (int i = 0; i < kRate; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double n = (static_cast<double>(noise >> 8) / (1u << 24) - 0.5) * 0.05;
        const double l = 0.4 * std::sin(2.0 * M_PI * 440.0 * i / kRate) + n;
        const double r = 0.3 * std::sin(2.0 * M_PI * 1250.0 * i / kRate) - n;
        s[2 * i] = static_cast<T>(l * scale);
        s[2 * i + 1] = static_cast<T>(r * scale);
    }
    return s;
}

void LoudnessCaptureBlock(benchmark::State& state)
{
    const std::vector<std::int16_t> second = OneSecond<std::int16_t>(32767.0);
    CLoudnessFeed feed;
    feed.Open(kRate);
    feed.SetOn(true);
    CLoudnessSnapshot snapshot;
    std::size_t at = 0;
    const std::size_t blocks = second.size() / 2 / kBlockFrames;
    for (auto _ : state) {
        feed.ProcessBlock(second.data() + at * 2 * kBlockFrames, kBlockFrames, snapshot);
        benchmark::DoNotOptimize(snapshot);
        at = (at + 1) % blocks;
    }
    state.counters["rt_factor"] = benchmark::Counter(kBlockSeconds * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(LoudnessCaptureBlock);

void LoudnessExactFloat(benchmark::State& state)
{
    const std::vector<float> second = OneSecond<float>(1.0);
    CLoudnessModel model;
    model.Open(2, kRate, ELoudnessMode::Exact);
    for (auto _ : state) {
        model.AddInterleavedFloat(second.data(), kRate);
        benchmark::DoNotOptimize(model.MaxShortTerm());
    }
    benchmark::DoNotOptimize(model.Integrated());
    state.counters["rt_factor"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(LoudnessExactFloat)->Unit(benchmark::kMillisecond);
} // namespace
