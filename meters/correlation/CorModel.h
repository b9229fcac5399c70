#pragma once
// The correlation meter's measurement: the latest smoothed and raw values
// it was given, how many windows reached it, and the smallest and largest
// phase angle (the arc cosine of the raw coefficient, in whole degrees)
// seen since the user last cleared them. Angles below 90 degrees lower the
// minimum, angles above raise the maximum; 90 itself touches neither.
//
// Plain C++, no widget code: the live control draws it, lumetra-analyze
// runs it alone. UI thread only.
#include "meters/correlation/CorConstants.h"

#include <cstdint>

class CCorModel {
public:
    // One window's values. False when the smoothed value is off the scale
    // (or not a number): such a window moves nothing on the display.
    bool Input(double smoothed, double raw);
    // Both readouts blank again.
    void ClearAngles();

    int MinAngle() const { return m_nMinAngle; }
    int MaxAngle() const { return m_nMaxAngle; }
    std::uint64_t Readings() const { return m_nReadings; }
    double LastSmoothed() const { return m_dLastSmoothed; }
    double LastRaw() const { return m_dLastRaw; }

    // The whole-degree phase angle of a raw coefficient; values past +-1
    // (from rounding only) count as the nearest end. -1 when not finite.
    static int AngleOf(double raw);

private:
    void AccumulateAngle(double raw);

    int m_nMinAngle = cor::kNoMinAngle;
    int m_nMaxAngle = cor::kNoMaxAngle;
    std::uint64_t m_nReadings = 0;
    double m_dLastSmoothed = 0.0;
    double m_dLastRaw = 0.0;
};
