#pragma once
// A reading in dB that rises at once and falls a fixed number of dB per
// second of real time: the return of the modes that read in dB. The time
// is what elapsed, so the fall is the same at every sample rate and block
// size and wherever on the scale the reading is.
//
// Plain C++; one thread at a time. No allocation.
class CPpmDbFall {
public:
    // The lowest reading kept: far below the scale, so silence stays put.
    static constexpr double kFloorDb = -200.0;

    void SetRate(double dbPerSecond) { m_dRate = dbPerSecond; }
    double Rate() const { return m_dRate; }
    // How far a reading falls in `seconds`.
    double FallenDb(double seconds) const { return m_dRate * seconds; }

    // The reading after `seconds` more with a new peak of `peakDb`: the
    // peak if it is higher, else the old reading fallen for that time.
    double Next(double peakDb, double seconds);
    double Reading() const { return m_dReading; }
    void Reset() { m_dReading = kFloorDb; }

    // A linear level (1.0 full scale) in dB, the floor for silence.
    static double ToDb(double linear);

private:
    double m_dRate = 0;
    double m_dReading = kFloorDb;
};
