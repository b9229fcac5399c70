// The analyzer's measurement without a control: the level table, the band mapping,
// the feed's transform, one bar's drawing and the shared decay tick.
#include "meters/analyzer/FftBar.h"
#include "meters/analyzer/FftEngine.h"
#include "meters/analyzer/FftFeed.h"
#include "meters/analyzer/FftLevelTable.h"
#include "meters/analyzer/FftModel.h"
#include "platform/DrawContext.h"

#include <array>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

TEST(FftLevelTable, DbOfTellingLevelsStoredAsTheirDecimals)
{
    const struct { unsigned level; double db; } rows[] = { { 0, -96.0 }, { 1, -90.0 }, { 9, -71.22 }, { 10, -70.0 },
        { 11, -69.8 }, { 160, -40.0 }, { 260, -20.0 }, { 310, -10.0 }, { 359, -0.2 }, { 360, 0.0 } };
    for (const auto& r : rows)
        EXPECT_EQ(CFftLevelTable::Db(r.level), r.db) << "level " << r.level;
}

// Levels whose dB cut to the same amplitude belong to the highest of them
// (-70.0 .. -69.6 dB are all 10); only full scale reads 0 dB, anything above clamps.
TEST(FftLevelTable, TellingAmplitudesMapToTheirLevels)
{
    const struct { std::uint32_t amplitude; unsigned level; } rows[] = { { 0, 0 }, { 1, 1 }, { 9, 9 }, { 10, 12 },
        { 11, 16 }, { 327, 160 }, { 3276, 260 }, { 10361, 309 }, { 10362, 310 }, { 32766, 359 }, { 32767, 360 },
        { 32768, 360 }, { 4000000000u, 360 } };
    const CFftLevelTable table;
    for (const auto& r : rows)
        EXPECT_EQ(table.Level(r.amplitude), r.level) << "amplitude " << r.amplitude;
}

namespace {
constexpr int N = 2048;
}

// The 128 bar amplitudes mapped from a half-complex spectrum (bin b real at b,
// imaginary at N - b): a bin's amplitude is sqrt(2 (re^2 + im^2)). Low bars
// slide linearly between neighbouring bins and reach a bin one position early;
// high bars take the loudest bin of their group, not the sum.
TEST(FftEngineBands, TellingSpectraMapToTheirBars)
{
    const struct { const char* what; std::vector<std::pair<int, double>> bins, bars; } rows[] = {
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

TEST(FftFeedMono, HalvingsTruncateTowardZero)
{
    constexpr int kSum = fft::kInputLeftPlusRight, kDiff = fft::kInputLeftMinusRight;
    const struct { int left, right, mode, mono; } rows[] = { { -32768, -32768, kSum, -32768 }, { 1, 0, kSum, 0 },
        { -1, 0, kSum, 0 }, { -3, 0, kSum, -1 }, { 32767, -32768, kDiff, 32767 }, { -32768, 32767, kDiff, -32767 },
        { 0, 3, kDiff, -1 }, { 5, 7, fft::kInputLeft, 5 }, { 5, 7, fft::kInputRight, 7 } };
    for (const auto& r : rows)
        EXPECT_EQ(CFftFeed::Mono(r.left, r.right, r.mode), r.mono) << r.left << " " << r.right << " mode " << r.mode;
}

namespace {
constexpr COLORREF kEmptyBar = RGB(0, 0, 0);

// One bar 2 pixels wide, 361 rows high (top 11, bottom 372).
class FftBarTest : public ::testing::Test {
protected:
    FftBarTest()
    {
        dc.Resize(100, 400);
        params.m_pLevelTable = &levels;
        params.m_pDc = &dc;
    }
    COLORREF At(int y) const { return dc.GetPixel(10, y); }

    CFftLevelTable levels;
    CDrawContext dc;
    FftBarParams params;
    CFftBar bar { &params, CRect(10, 11, 12, 372) };
};
}

// Rows 12..61 over, 62..111 tween, 112..371 normal; a bar ending on the tween point is all normal.
TEST_F(FftBarTest, ZonesAndTheMarkersColour)
{
    EXPECT_EQ(std::tuple(bar.LevelY(0), bar.LevelY(260), bar.LevelY(360)), std::tuple(372, 112, 12));
    const struct { unsigned level; int top; COLORREF topColor; } rows[] = { { 360, 12, params.m_crOver },
        { 311, 61, params.m_crOver }, { 310, 62, params.m_crTween }, { 261, 111, params.m_crTween },
        { 260, 112, params.m_crNorm } };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.level);
        CFftBar fresh(&params, CRect(10, 11, 12, 372));
        dc.Resize(100, 400);
        fresh.Input(r.level);
        EXPECT_EQ(std::tuple(At(r.top - 1), At(r.top), At(371)), std::tuple(kEmptyBar, r.topColor, params.m_crNorm));
        EXPECT_EQ(std::pair(fresh.PeakY(), fresh.PeakColor()), std::pair(static_cast<unsigned>(r.top), r.topColor));
    }
    EXPECT_EQ(std::pair(dc.GetPixel(11, 200), dc.GetPixel(12, 200)), std::pair(params.m_crNorm, kEmptyBar));
}

TEST(FftModel, AnOwnTickShareStartsEmpty)
{
    CMeterTickShare program;
    CFftModel a;
    a.SetTickShare(&program);
    a.Tick(); // medium: half way
    CFftModel b;
    b.SetTickShare(&program);
    EXPECT_TRUE(b.Tick().decay) << "the program's accumulator is shared";
    CFftModel fresh;
    EXPECT_FALSE(fresh.Tick().decay);
}
