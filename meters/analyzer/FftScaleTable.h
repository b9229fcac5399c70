#pragma once
// The analyzer's scales: the 37 level ticks with their labels, the table the
// colour settings dialog offers (every 2 dB from 0 to -60 dB, then six
// unlabelled floor levels) and the 32 third-octave labels under the bars.
// Any thread (constants only).
#include <cstdint>

namespace fft {

constexpr int kScaleTicks = 37;
// Tick levels: every 2 dB from 0 to -70 dB, then level 3 (-80.76 dB).
constexpr std::uint32_t kScaleLevels[kScaleTicks] = { 360, 350, 340, 330, 320, 310, 300, 290, 280, 270, 260,
    250, 240, 230, 220, 210, 200, 190, 180, 170, 160, 150, 140, 130, 120, 110, 100, 90, 80, 70, 60, 50, 40, 30,
    20, 10, 3 };
// Only every 10 dB is written on the scale.
constexpr const char* kScaleLabels[kScaleTicks] = { "0", "", "", "", "", "-10", "", "", "", "", "-20", "", "",
    "", "", "-30", "", "", "", "", "-40", "", "", "", "", "-50", "", "", "", "", "-60", "", "", "", "", "", "" };
// The colour settings dialog's table: the same levels, labelled every 2 dB.
constexpr const char* kDialogLabels[kScaleTicks] = { "0", "-2", "-4", "-6", "-8", "-10", "-12", "-14", "-16",
    "-18", "-20", "-22", "-24", "-26", "-28", "-30", "-32", "-34", "-36", "-38", "-40", "-42", "-44", "-46",
    "-48", "-50", "-52", "-54", "-56", "-58", "-60", "", "", "", "", "", "" };

// Third-octave centres from 16 Hz to 20 kHz, one every fourth bar.
constexpr int kFrequencyLabelCount = 32;
constexpr const char* kFrequencyLabels[kFrequencyLabelCount] = { "16", "20", "25", "31.5", "40", "50", "63",
    "80", "100", "125", "160", "200", "250", "315", "400", "500", "630", "800", "1k", "1k25", "1k6", "2k", "2k5",
    "3k15", "4k", "5k", "6k3", "8k", "10k", "12k5", "16k", "20k" };
constexpr int kBarsPerLabel = 4;
// The first labelled bar: one bar further left at 48000 Hz, where every bar
// lies higher in frequency.
constexpr int kFirstLabelledBar44100 = 2;
constexpr int kFirstLabelledBar48000 = 1;

} // namespace fft
