#include "meters/ppm/PpmLevelTable.h"

#include <cmath>

namespace {
// Steps 0..9 map the magnitudes 0..9 one to one: 20 log10(k / 32768) for
// k = 2..9, cut toward zero to two decimals, with -96 and -90 below them.
constexpr double kLowSteps[10] = { -96.0, -90.0, -84.28, -80.76, -78.26, -76.32, -74.74, -73.4, -72.24, -71.22 };

// The rows of the scale above step 9: from a step up to the next row's
// first step, in hundredths of a dB per step.
struct ScaleRow {
    unsigned firstStep;
    int firstDbHundredths;
    int stepHundredths;
};
constexpr ScaleRow kRows[] = {
    { 10, -7000, 100 }, // -70 .. -60 dB in 1 dB steps
    { 20, -6000, 50 },  // -60 .. -40 dB in 0.5 dB steps
    { 60, -4000, 20 },  // -40 .. -20 dB in 0.2 dB steps
    { 160, -2000, 10 }, // -20 .. 0 dB in 0.1 dB steps
};

std::array<double, CPpmLevelTable::kSteps> MakeDbTable()
{
    std::array<double, CPpmLevelTable::kSteps> db {};
    for (unsigned i = 0; i < 10; ++i)
        db[i] = kLowSteps[i];
    for (unsigned r = 0; r < std::size(kRows); ++r) {
        const unsigned end = r + 1 < std::size(kRows) ? kRows[r + 1].firstStep : CPpmLevelTable::kSteps;
        for (unsigned i = kRows[r].firstStep; i < end; ++i) {
            // Whole hundredths divided once, so every value is the nearest
            // double to its decimal (-39.8, not -40 + 0.2 + ... ).
            const int hundredths = kRows[r].firstDbHundredths + static_cast<int>(i - kRows[r].firstStep) * kRows[r].stepHundredths;
            db[i] = hundredths / 100.0;
        }
    }
    return db;
}
}

const std::array<double, CPpmLevelTable::kSteps>& CPpmLevelTable::DbTable()
{
    static const std::array<double, kSteps> table = MakeDbTable();
    return table;
}

CPpmLevelTable::CPpmLevelTable() { BuildLevelTable(DbTable().data(), kSteps); }

void CPpmLevelTable::BuildLevelTable(const double* db, unsigned steps)
{
    m_table.assign(kTableSize, 0);
    if (steps < 2)
        return;
    std::vector<unsigned> threshold(steps);
    for (unsigned i = 0; i < steps; ++i)
        threshold[i] = static_cast<unsigned>(32768.0 * std::pow(10.0, db[i] * 0.05));

    for (unsigned i = 0; i + 1 < steps; ++i) {
        // A run of equal thresholds belongs to its highest step.
        while (i + 1 < steps - 1 && threshold[i] == threshold[i + 1])
            ++i;
        const unsigned end = std::min(threshold[i + 1], kTableSize);
        for (unsigned k = threshold[i]; k < end; ++k)
            m_table[k] = static_cast<std::uint16_t>(i);
    }
    // Only full scale reads 0.0 dB.
    m_table[kTableSize - 1] = static_cast<std::uint16_t>(steps - 1);
}

unsigned CPpmLevelTable::BlockPeak(const std::int16_t* samples, int frames, int channel)
{
    unsigned peak = 0;
    for (int f = 0; f < frames; ++f) {
        const unsigned m = FoldedMagnitude(samples[2 * f + channel]);
        if (m > peak)
            peak = m;
    }
    return peak;
}
