#include "meters/ppm/PpmBallistics.h"

#include <cmath>

namespace {
// The return times: Type I falls 20 dB in 1.5 s (DIN) or 1.7 s (Nordic),
// Type II 24 dB in 2.8 s.
constexpr double kDinReturn = 20.0 / 1.5;
constexpr double kNordicReturn = 20.0 / 1.7;
constexpr double kTypeIIReturn = 24.0 / 2.8;

// Charge rates of the two stages, chosen so that 5 kHz tone bursts read,
// against the steady tone: Type I 10 ms -1 dB, 5 ms -2 dB, 3 ms -4 dB;
// Type II 10 ms -2 dB, 5 ms -4 dB, 1.5 ms -9 dB, 0.5 ms -17 dB. The quick
// stage shapes the short bursts, the slow one the long ones.
constexpr double kTypeIFast = 1180.0;
constexpr double kTypeISlow = 435.0;
constexpr double kTypeIIFast = 870.0;
constexpr double kTypeIISlow = 200.0;

// A stage charges only while the rectified signal is above it, so against
// its own return it settles a little below the crest of a steady tone:
// 0.21 dB (DIN), 0.19 dB (Nordic), 0.24 dB (Type II), alike from 100 Hz
// to 10 kHz. The gain gives that back, so a steady tone reads its peak.
double GainOfDb(double db) { return std::pow(10.0, db / 20.0); }

// True peak falls like the digital meter's Medium fall in its 0.2 dB
// steps (17 dB/s); Slow is half of it (and Type II's own return), Fast
// twice.
constexpr double kTruePeakDecay[3] = { 34.0, 17.0, 8.6 };
constexpr unsigned kMediumIndex = 1;

constexpr const char* kMenuTexts[CPpmBallistics::kModes] = {
    "Digital Peak", "True Peak", "IEC Type I (DIN)", "IEC Type I (Nordic)", "IEC Type II (BBC)", "IEC Type II (EBU)",
};
}

const char* CPpmBallistics::MenuText(EPpmBallistics mode)
{
    return kMenuTexts[SettingsValue(FromSettingsValue(SettingsValue(mode)))]; // an out-of-range value names the default
}

EPpmBallistics CPpmBallistics::FromSettingsValue(int value)
{
    return value >= 0 && value < kModes ? static_cast<EPpmBallistics>(value) : kDefault;
}

bool CPpmBallistics::IsQuasiPeak(EPpmBallistics mode)
{
    return mode == EPpmBallistics::IecTypeIDin || mode == EPpmBallistics::IecTypeINordic
        || mode == EPpmBallistics::IecTypeIIBbc || mode == EPpmBallistics::IecTypeIIEbu;
}

SQuasiPeakParams CPpmBallistics::QuasiPeak(EPpmBallistics mode)
{
    switch (mode) {
    case EPpmBallistics::IecTypeIDin:
        return { kTypeIFast, kTypeISlow, kDinReturn, GainOfDb(0.212) };
    case EPpmBallistics::IecTypeINordic:
        return { kTypeIFast, kTypeISlow, kNordicReturn, GainOfDb(0.193) };
    case EPpmBallistics::IecTypeIIBbc:
    case EPpmBallistics::IecTypeIIEbu:
        // BBC and EBU meters share the ballistics; only their scales differ.
        return { kTypeIIFast, kTypeIISlow, kTypeIIReturn, GainOfDb(0.239) };
    default:
        return {};
    }
}

double CPpmBallistics::TruePeakDecayDbPerSecond(unsigned decayIndex)
{
    return kTruePeakDecay[decayIndex < 3 ? decayIndex : kMediumIndex];
}

double CPpmBallistics::ReturnDbPerSecond(EPpmBallistics mode, unsigned decayIndex)
{
    if (mode == EPpmBallistics::TruePeak)
        return TruePeakDecayDbPerSecond(decayIndex);
    return QuasiPeak(mode).returnDbPerSecond;
}
