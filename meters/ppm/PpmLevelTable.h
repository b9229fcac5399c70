#pragma once
// The meter's decibel scale and the level table that turns a folded sample
// magnitude into a scale step without a logarithm at run time.
//
// Scale steps run 0..360; step 360 is 0.0 dB (digital full scale), step 0
// -96.0 dB. Entry k of the level table is the highest step whose threshold
// 32768 * 10^(dB / 20) does not exceed k, except that only the full-scale
// magnitude 32767 reaches step 360.
//
// Plain C++. Built once; read-only afterwards, so any thread may read it.
#include <array>
#include <cstdint>
#include <vector>

class CPpmLevelTable {
public:
    static constexpr unsigned kSteps = 361;
    static constexpr unsigned kTableSize = 32768;

    // The dB value of every scale step.
    static const std::array<double, kSteps>& DbTable();

    // Builds the table from the meter's own dB table.
    CPpmLevelTable();

    // Fills the table from `steps` dB values (rising, the last 0.0 dB).
    void BuildLevelTable(const double* db, unsigned steps);

    // The step of a magnitude below the table size.
    std::uint16_t Step(unsigned magnitude) const { return m_table[magnitude]; }
    const std::uint16_t* Data() const { return m_table.data(); }
    unsigned Size() const { return static_cast<unsigned>(m_table.size()); }

    // A sample's magnitude: x for x >= 0, its bitwise complement -x-1 below,
    // so every 16-bit sample gives 0..32767.
    static unsigned FoldedMagnitude(std::int16_t x) { return static_cast<unsigned>(x >= 0 ? x : -1 - x); }
    // The largest folded magnitude of one channel (0 left, 1 right) of
    // `frames` interleaved stereo frames.
    static unsigned BlockPeak(const std::int16_t* samples, int frames, int channel);

private:
    std::vector<std::uint16_t> m_table;
};
