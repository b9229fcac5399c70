// The per-block cost of each PPM ballistics mode on the capture thread: one
// 512-frame 16-bit stereo block of music-like signal at 48 kHz, both
// channels, read once per block as the hub would.
//
// DigitalPeak: the block-peak scan and the level table.
// TruePeak: two 4x true-peak detectors.
// Quasi-peak modes: two integrators.
#include "meters/ppm/PpmBallistics.h"
#include "meters/ppm/PpmLevelTable.h"
#include "meters/ppm/QuasiPeakIntegrator.h"
#include "meters/ppm/TruePeakDetector.h"
#include "platform/wavein/MusicMixGenerator.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {
constexpr int kFrames = 512;
constexpr int kRate = 48000;
constexpr int kBlocks = 16;

std::vector<std::int16_t> MusicBlocks()
{
    CMusicMixGenerator music(kRate);
    std::vector<std::int16_t> area(static_cast<std::size_t>(2 * kFrames * kBlocks));
    for (std::size_t i = 0; i < area.size(); i += 2) {
        double left = 0.0;
        double right = 0.0;
        music.Next(left, right);
        area[i] = static_cast<std::int16_t>(left * 24000.0);
        area[i + 1] = static_cast<std::int16_t>(right * 24000.0);
    }
    return area;
}

const std::int16_t* Block(const std::vector<std::int16_t>& area, std::int64_t n)
{
    return area.data() + (n % kBlocks) * 2 * kFrames;
}

void DigitalPeak(benchmark::State& state)
{
    const auto area = MusicBlocks();
    const CPpmLevelTable table;
    std::int64_t n = 0;
    for (auto _ : state) {
        const std::int16_t* block = Block(area, n++);
        benchmark::DoNotOptimize(table.Step(CPpmLevelTable::BlockPeak(block, kFrames, 0)));
        benchmark::DoNotOptimize(table.Step(CPpmLevelTable::BlockPeak(block, kFrames, 1)));
    }
}

// Both channels of the music-like blocks through a pair of detectors, one
// block per iteration, each channel read once per block as the meter does.
template <class Detector>
void RunPair(benchmark::State& state, Detector& left, Detector& right)
{
    const auto area = MusicBlocks();
    left.Init(kRate);
    right.Init(kRate);
    std::int64_t n = 0;
    for (auto _ : state) {
        const std::int16_t* block = Block(area, n++);
        left.Process(block, kFrames, 0);
        right.Process(block, kFrames, 1);
        benchmark::DoNotOptimize(left.Read());
        benchmark::DoNotOptimize(right.Read());
    }
}

void TruePeak(benchmark::State& state)
{
    CTruePeakDetector left, right;
    RunPair(state, left, right);
}

void QuasiPeak(benchmark::State& state)
{
    const auto mode = static_cast<EPpmBallistics>(state.range(0));
    state.SetLabel(CPpmBallistics::MenuText(mode));
    CQuasiPeakIntegrator left(CPpmBallistics::QuasiPeak(mode)), right(CPpmBallistics::QuasiPeak(mode));
    RunPair(state, left, right);
}
}

BENCHMARK(DigitalPeak);
BENCHMARK(TruePeak);
BENCHMARK(QuasiPeak)->DenseRange(static_cast<int>(EPpmBallistics::IecTypeIDin), static_cast<int>(EPpmBallistics::IecTypeIIEbu));
