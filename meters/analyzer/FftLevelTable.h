#pragma once
// The analyzer's level model: 361 level indices with their dB values (a
// coarse floor, then 0.2 dB steps from -70 dB to 0 dB) and the 32768-entry
// table that turns a linear band amplitude into a level index without a
// logarithm at run time. Plain C++, no widget code.
//
// Threads: built on the UI thread; afterwards immutable, so any thread may
// read it.
#include <array>
#include <cstdint>
#include <vector>

class CFftLevelTable {
public:
    CFftLevelTable();

    // The dB value of a level index 0..360.
    static double Db(int level);
    // The level index of a linear amplitude; amplitudes at or above 32768
    // read the last entry (360).
    unsigned Level(std::uint32_t amplitude) const;

    // The smallest amplitude of each level index: 32768 * 10^(dB / 20), cut.
    static std::uint32_t Threshold(int level);

private:
    void Build();

    std::vector<std::uint16_t> m_table;
};
