#include "meters/analyzer/FftEngine.h"

#include <array>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {
constexpr int N = 2048;
}

// The 128 bar amplitudes mapped from a half-complex spectrum (bin b real at b,
// imaginary at N - b): a bin's amplitude is sqrt(2 (re^2 + im^2)). Low bars
// slide linearly between neighbouring bins and reach a bin one position early;
// high bars take the loudest bin of their group, not the sum.
TEST(FftEngineBands, TellingSpectraMapToTheirBars)
{
    const struct {
        const char* what;
        std::vector<std::pair<int, double>> bins;
        std::vector<std::pair<int, std::uint32_t>> bars;
    } rows[] = {
        { "silence", {}, { { 0, 0 }, { 64, 0 }, { 127, 0 } } },
        { "DC falls in eight steps to bin 1", { { 0, 1000 } },
            { { 0, 707 }, { 1, 619 }, { 4, 354 }, { 8, 0 }, { 9, 0 } } },
        { "bin 1 reached at 8, falls after", { { 1, 1000 } },
            { { 1, 176 }, { 7, 1237 }, { 8, 1414 }, { 9, 1273 }, { 18, 0 }, { 19, 0 } } },
        { "imaginary counts as real", { { N - 5, 1000 } }, { { 33, 1060 }, { 34, 1414 } } },
        { "groups take their loudest bin", { { 45, 300 }, { 46, 400 }, { 48, 100 } },
            { { 72, 0 }, { 73, 565 }, { 74, 141 }, { 75, 0 } } },
        { "bin 18 owns position 57", { { 17, 1000 } }, { { 56, 1414 }, { 57, 0 } } },
        { "the top group ends at 1023", { { 945, 10 }, { 1023, 20 } }, { { 126, 0 }, { 127, 28 } } },
        { "Nyquist is never read", { { 1024, 1e6 } }, { { 127, 0 }, { 126, 0 } } },
    };
    for (const auto& row : rows) {
        std::array<fftw_real, N> spectrum {};
        std::array<std::uint32_t, 128> bands {};
        bands.fill(77);
        for (const auto& [index, value] : row.bins)
            spectrum[static_cast<std::size_t>(index)] = value;
        CFftEngine::MapBands(spectrum.data(), bands.data());
        for (const auto& [bar, amplitude] : row.bars)
            EXPECT_EQ(bands[static_cast<std::size_t>(bar)], amplitude) << row.what << ", bar " << bar;
    }
}
