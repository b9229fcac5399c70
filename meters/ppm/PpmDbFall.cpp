#include "meters/ppm/PpmDbFall.h"

#include <algorithm>
#include <cmath>

double CPpmDbFall::Next(double peakDb, double seconds)
{
    const double fallen = std::max(m_dReading - FallenDb(seconds), kFloorDb);
    m_dReading = std::max(peakDb, fallen);
    return m_dReading;
}

double CPpmDbFall::ToDb(double linear)
{
    return linear > 0 ? std::max(20.0 * std::log10(linear), kFloorDb) : kFloorDb;
}
