// The analyzer's cost on the capture thread per 1024-frame analysis window:
// mono mix, windowing, the 2048-point transform and the band mapping. At
// 48000 Hz a window arrives every 21.3 ms; the work must stay a small
// fraction of that.
#include "meters/analyzer/FftCaptureState.h"
#include "meters/analyzer/FftEngine.h"
#include "meters/analyzer/FftFeed.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {
// Two consecutive windows of a stereo tone mixture, fed alternately.
std::vector<std::int16_t> TwoWindows()
{
    std::vector<std::int16_t> samples(2 * 2 * 1024);
    for (int n = 0; n < 2 * 1024; ++n) {
        const double t = n / 44100.0;
        samples[2 * n] = static_cast<std::int16_t>(12000 * std::sin(2 * 3.14159265 * 1000 * t) + 3000 * std::sin(2 * 3.14159265 * 90 * t));
        samples[2 * n + 1] = static_cast<std::int16_t>(12000 * std::sin(2 * 3.14159265 * 5000 * t));
    }
    return samples;
}

// The whole frame step of one window, as the hub runs it.
void FeedWindow(benchmark::State& state)
{
    CFftCaptureState settings;
    settings.SetOn(1);
    settings.SetWindowType(static_cast<int>(state.range(0)));
    auto feed = std::make_unique<CFftFeed>(settings);
    const auto samples = TwoWindows();
    std::array<std::uint32_t, 128> bands {};
    int w = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(feed->Feed(samples.data() + 2048 * w, bands.data()));
        benchmark::ClobberMemory();
        w ^= 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("windows");
}
BENCHMARK(FeedWindow)->Arg(0)->Arg(3);

// The mix alone, with the analyzer off (the hub still feeds every window).
void FeedWindowOff(benchmark::State& state)
{
    CFftCaptureState settings;
    auto feed = std::make_unique<CFftFeed>(settings);
    const auto samples = TwoWindows();
    std::array<std::uint32_t, 128> bands {};
    for (auto _ : state) {
        benchmark::DoNotOptimize(feed->Feed(samples.data(), bands.data()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FeedWindowOff);

// Transform and band mapping without the mix and the window.
void TransformAndMap(benchmark::State& state)
{
    std::vector<fftw_real> in(2048), out(2048);
    std::array<std::uint32_t, 128> bands {};
    for (int i = 0; i < 2048; ++i)
        in[i] = 10000.0 * std::sin(i * 0.3) * 0.0016;
    CFftEngine engine;
    engine.Init(2048, in.data(), out.data(), bands.data());
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.Process());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TransformAndMap);

// The band mapping alone.
void MapBands(benchmark::State& state)
{
    std::vector<fftw_real> spectrum(2048);
    for (int i = 0; i < 2048; ++i)
        spectrum[i] = std::cos(i * 0.7) * 1000.0;
    std::array<std::uint32_t, 128> bands {};
    for (auto _ : state) {
        CFftEngine::MapBands(spectrum.data(), bands.data());
        benchmark::DoNotOptimize(bands.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MapBands);
}
