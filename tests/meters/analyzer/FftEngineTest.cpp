#include "meters/analyzer/FftEngine.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr int N = 2048;

class FftEngineBands : public ::testing::Test {
protected:
    void Map() { CFftEngine::MapBands(spectrum.data(), bands.data()); }
    // Sets bin b to a real magnitude whose doubled power has square root `mag`.
    void SetBin(int b, double re) { spectrum[b] = re; }

    std::array<fftw_real, N> spectrum {};
    std::array<std::uint32_t, 128> bands {};
};
}

TEST_F(FftEngineBands, SilenceGivesZeroEverywhere)
{
    bands.fill(77);
    Map();
    for (std::uint32_t b : bands)
        EXPECT_EQ(b, 0u);
}

TEST_F(FftEngineBands, DcTermFallsLinearlyToTheFirstBin)
{
    SetBin(0, 1000.0);
    Map();
    EXPECT_EQ(bands[0], 707u);
    // Positions 1..8 run from 707 down to bin 1's 0 in eight steps of -88.375.
    EXPECT_EQ(bands[1], 619u);
    EXPECT_EQ(bands[4], 354u);
    EXPECT_EQ(bands[8], 0u);
    EXPECT_EQ(bands[9], 0u);
}

TEST_F(FftEngineBands, LowBinIsReachedOnePositionEarlyAndFallsAfter)
{
    SetBin(1, 1000.0); // magnitude sqrt(2) * 1000 = 1414
    Map();
    EXPECT_EQ(bands[1], 176u);  // 0 + 1414 / 8
    EXPECT_EQ(bands[8], 1414u); // the last position before bin 1's own
    // Bin 1's own position already starts down toward bin 2's 0 (10 steps).
    EXPECT_EQ(bands[9], 1273u);
    EXPECT_EQ(bands[18], 0u);
    EXPECT_EQ(bands[19], 0u);
}

TEST_F(FftEngineBands, ImaginaryPartCountsAsMuchAsRealPart)
{
    spectrum[N - 5] = 1000.0; // bin 5, imaginary
    Map();
    EXPECT_EQ(bands[34], 1414u); // position 35 - 1 reaches bin 5
}

TEST_F(FftEngineBands, HighGroupsTakeTheLoudestBinNotTheSum)
{
    // Position 73 holds bins 45 and 46; position 74 bins 47 and 48.
    SetBin(45, 300.0);
    SetBin(46, 400.0);
    SetBin(48, 100.0);
    Map();
    EXPECT_EQ(bands[73], 565u); // sqrt(2) * 400
    EXPECT_EQ(bands[74], 141u);
    EXPECT_EQ(bands[72], 0u);
    EXPECT_EQ(bands[75], 0u);
}

TEST_F(FftEngineBands, Bin18OverwritesPosition57AndTheTopGroupEndsAt1023)
{
    SetBin(17, 1000.0);
    Map();
    EXPECT_EQ(bands[56], 1414u); // reached one position early
    EXPECT_EQ(bands[57], 0u);    // bin 18 wins position 57

    spectrum.fill(0.0);
    SetBin(945, 10.0);
    SetBin(1023, 20.0);
    Map();
    EXPECT_EQ(bands[127], 28u);
    EXPECT_EQ(bands[126], 0u);
}

TEST_F(FftEngineBands, NyquistTermIsNeverRead)
{
    spectrum[1024] = 1.0e6;
    Map();
    for (std::uint32_t b : bands)
        EXPECT_EQ(b, 0u);
}

TEST(FftEngine, RefusesAnySizeButTheOneItMapsAndThenDoesNothing)
{
    std::array<fftw_real, N> in {}, out {};
    std::array<std::uint32_t, 128> bands {};
    bands.fill(5);
    CFftEngine engine;
    EXPECT_FALSE(engine.Init(1024, in.data(), out.data(), bands.data()));
    EXPECT_FALSE(engine.HasPlan());
    EXPECT_FALSE(engine.Process());
    EXPECT_EQ(bands[0], 5u);

    EXPECT_TRUE(engine.Init(N, in.data(), out.data(), bands.data()));
    EXPECT_TRUE(engine.Process());
    EXPECT_EQ(bands[0], 0u);
}

TEST(FftEngine, ConstantInputShowsOnlyAsDc)
{
    std::array<fftw_real, N> in {}, out {};
    std::array<std::uint32_t, 128> bands {};
    CFftEngine engine;
    ASSERT_TRUE(engine.Init(N, in.data(), out.data(), bands.data()));
    in.fill(1.0);
    ASSERT_TRUE(engine.Process());
    EXPECT_DOUBLE_EQ(out[0], 2048.0);
    EXPECT_EQ(bands[0], 1448u); // 2048 * 0.7071067811865
    EXPECT_EQ(bands[60], 0u);
}
