// The ballistics menu, its stored values and the dB-per-second falls.
#include "meters/ppm/PpmBallistics.h"
#include "meters/ppm/PpmDbFall.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PpmBallisticsModes, MenuTextsAndStoredValuesUnknownReadsDigitalPeak)
{
    const struct {
        int stored;
        const char* text;
    } rows[] = { { 0, "Digital Peak" }, { 1, "True Peak" }, { 2, "IEC Type I (DIN)" }, { 3, "IEC Type I (Nordic)" },
                 { 4, "IEC Type II (BBC)" }, { 5, "IEC Type II (EBU)" }, { 6, "Digital Peak" }, { -1, "Digital Peak" },
                 { 1000, "Digital Peak" } };
    for (const auto& row : rows) {
        const EPpmBallistics mode = CPpmBallistics::FromSettingsValue(row.stored);
        EXPECT_EQ(std::string(CPpmBallistics::MenuText(mode)), row.text) << row.stored;
        if (row.stored >= 0 && row.stored < 6) {
            EXPECT_EQ(CPpmBallistics::SettingsValue(mode), row.stored);
        }
    }
    EXPECT_EQ(std::string(CPpmBallistics::kSettingsSection) + "/" + CPpmBallistics::kSettingsEntry, "PPM/Ballistics");
}

TEST(PpmBallisticsModes, ReturnsInDbPerSecond)
{
    // Decay index 0 Fast, 1 Medium, 2 Slow.
    const struct {
        EPpmBallistics mode;
        unsigned decay;
        double db, seconds;
    } rows[] = {
        { EPpmBallistics::TruePeak, 0, 34.0, 1.0 },        { EPpmBallistics::TruePeak, 1, 17.0, 1.0 },
        { EPpmBallistics::TruePeak, 2, 8.6, 1.0 },         { EPpmBallistics::TruePeak, 7, 17.0, 1.0 },
        { EPpmBallistics::IecTypeIDin, 0, 20.0, 1.5 },     { EPpmBallistics::IecTypeINordic, 2, 20.0, 1.7 },
        { EPpmBallistics::IecTypeIIBbc, 1, 24.0, 2.8 },    { EPpmBallistics::IecTypeIIEbu, 1, 24.0, 2.8 },
        { EPpmBallistics::DigitalPeak, 1, 0.0, 1.0 },
    };
    for (const auto& row : rows) {
        CPpmDbFall fall;
        fall.SetRate(CPpmBallistics::ReturnDbPerSecond(row.mode, row.decay));
        EXPECT_NEAR(fall.FallenDb(row.seconds), row.db, 1e-9) << CPpmBallistics::MenuText(row.mode) << row.decay;
    }
}

TEST(PpmDbFall, RisesAtOnceFallsWithElapsedTimeWhateverTheBlockSize)
{
    // 17 dB/s from -3 dB: after 1 s of silence -20 dB, in 512-frame blocks at
    // 44100 Hz or 48000 Hz, or in one step.
    for (double block : { 512.0 / 44100.0, 512.0 / 48000.0, 1.0 }) {
        CPpmDbFall fall;
        fall.SetRate(17.0);
        EXPECT_EQ(fall.Next(-3.0, block), -3.0);
        double elapsed = 0;
        while (elapsed + block <= 1.0 + 1e-9) {
            fall.Next(CPpmDbFall::ToDb(0.0), block);
            elapsed += block;
        }
        EXPECT_NEAR(fall.Reading(), -3.0 - 17.0 * elapsed, 1e-9);
        EXPECT_GT(elapsed, 0.98);
        EXPECT_EQ(fall.Next(-10.0, block), -10.0);
    }
}

} // namespace
