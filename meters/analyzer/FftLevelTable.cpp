#include "meters/analyzer/FftLevelTable.h"

#include "meters/analyzer/FftIds.h"

#include <cmath>

namespace {
// Below -70 dB the scale takes one index per small amplitude: 20 log10(k /
// 32768) for k = 2..9 cut to two decimals, -90 dB for 1 and -96 dB as floor.
constexpr double kFloorDb[10] = { -96.0, -90.0, -84.28, -80.76, -78.26, -76.32, -74.74, -73.4, -72.24, -71.22 };
constexpr int kFineFrom = 10;
}

double CFftLevelTable::Db(int level)
{
    if (level < kFineFrom)
        return kFloorDb[level < 0 ? 0 : level];
    // 0.2 dB steps from -70 dB, as the decimal values -70.0, -69.8, ...:
    // dividing an exact integer by 10 gives the double nearest each decimal,
    // which accumulating 0.2 would not.
    return (-700 + 2 * (level - kFineFrom)) / 10.0;
}

std::uint32_t CFftLevelTable::Threshold(int level)
{
    return static_cast<std::uint32_t>(32768.0 * std::pow(10.0, Db(level) * 0.05));
}

CFftLevelTable::CFftLevelTable() : m_table(fft::kLevelTableSize, 0) { Build(); }

void CFftLevelTable::Build()
{
    std::array<std::uint32_t, fft::kLevelCount> threshold {};
    for (int i = 0; i < fft::kLevelCount; ++i)
        threshold[i] = Threshold(i);

    // Each amplitude takes the highest index whose threshold it reaches, so
    // a run of equal thresholds is skipped to its last index.
    for (int i = 0; i < fft::kTopLevel; ++i) {
        while (i + 1 < fft::kTopLevel && threshold[i] == threshold[i + 1])
            ++i;
        for (std::uint32_t a = threshold[i]; a < threshold[i + 1] && a < m_table.size(); ++a)
            m_table[a] = static_cast<std::uint16_t>(i);
    }
    // Only full scale reaches 0 dB.
    m_table[fft::kLevelTableSize - 1] = fft::kTopLevel;
}

unsigned CFftLevelTable::Level(std::uint32_t amplitude) const
{
    if (amplitude >= static_cast<std::uint32_t>(fft::kLevelTableSize))
        amplitude = fft::kLevelTableSize - 1;
    return m_table[amplitude];
}
