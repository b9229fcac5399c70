// The stereo display's plotting cost: one captured block's pairs drawn into a
// shown control as the UI thread applies them. At 48000 Hz with every frame
// plotted the display must take 48000 points a second with room to spare.
#include "bench/BenchApplication.h"
#include "meters/stereo/StereoCtrl.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdlib>

namespace {
// A stereo sine pair with some width, so the points spread over the picture.
std::array<std::array<int, 2>, 512> Block()
{
    std::array<std::array<int, 2>, 512> pairs {};
    for (int f = 0; f < 512; ++f) {
        pairs[f][0] = static_cast<int>(24000 * std::sin(f * 0.031));
        pairs[f][1] = static_cast<int>(24000 * std::sin(f * 0.031 + 0.6));
    }
    return pairs;
}

// One block of pairs plotted into a shown control.
void PlotBlocks(benchmark::State& state)
{
    EnsureBenchApplication();
    CStereoCtrl ctrl;
    ctrl.Create(nullptr, 0, 0, static_cast<int>(state.range(0)), kStereoCtrlId);
    ctrl.SetCount(1024);
    ctrl.PaintNow();
    const auto pairs = Block();
    for (auto _ : state) {
        for (const auto& pair : pairs)
            ctrl.PlotPoint(pair[0], pair[1]);
        if (state.range(1))
            QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pairs.size()));
}
}

// Arguments: control size; 1 to run the repaint after every block, as if the
// screen were updated once per block (it is updated less often).
BENCHMARK(PlotBlocks)->Args({ 200, 0 })->Args({ 600, 0 })->Args({ 200, 1 })->Args({ 600, 1 })->Unit(benchmark::kMicrosecond);
