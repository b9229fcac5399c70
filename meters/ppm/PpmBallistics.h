#pragma once
// The PPM's ballistics modes: how a block of samples becomes the bar's
// reading, and how fast the reading returns. "Digital Peak" is the meter's
// own block-peak behaviour with its step-wise falls; the others read in dB
// and fall a fixed number of dB per second of real time, whatever the
// sample rate and wherever the bar is on the scale.
//
// Plain C++, constants only: any thread.
#include <cstdint>

// A 16-bit sample as a fraction of full scale.
inline constexpr float kInt16FullScale = 1.0f / 32768.0f;

enum class EPpmBallistics : int {
    DigitalPeak = 0,
    TruePeak = 1,
    IecTypeIDin = 2,
    IecTypeINordic = 3,
    IecTypeIIBbc = 4,
    IecTypeIIEbu = 5,
};

// What a quasi-peak integrator needs: the rates of its two charging
// stages, its return, and the gain that makes a steady tone read its peak.
struct SQuasiPeakParams {
    double fastPerSecond = 0;   // charge rate of the quick stage (1/s)
    double slowPerSecond = 0;   // charge rate of the slow stage (1/s)
    double returnDbPerSecond = 0;
    double steadyGain = 1;
};

class CPpmBallistics {
public:
    static constexpr int kModes = 6;
    // Where the choice is kept in the settings store.
    static constexpr const char* kSettingsSection = "PPM";
    static constexpr const char* kSettingsEntry = "Ballistics";
    static constexpr EPpmBallistics kDefault = EPpmBallistics::DigitalPeak;

    // The mode's entry in the "Ballistics" menu.
    static const char* MenuText(EPpmBallistics mode);
    static int SettingsValue(EPpmBallistics mode) { return static_cast<int>(mode); }
    // A stored value; anything unknown reads as the default.
    static EPpmBallistics FromSettingsValue(int value);

    // The four IEC modes run a quasi-peak integrator.
    static bool IsQuasiPeak(EPpmBallistics mode);
    // The integrator's constants of a quasi-peak mode (all zero otherwise).
    static SQuasiPeakParams QuasiPeak(EPpmBallistics mode);

    // The return of the modes that read in dB: a quasi-peak mode's own
    // return; "True Peak" uses the decay-time menu (index 0 Fast, 1 Medium,
    // 2 Slow, anything else Medium). Zero for "Digital Peak", whose falls
    // are counted in scale steps per tick instead.
    static double ReturnDbPerSecond(EPpmBallistics mode, unsigned decayIndex);
    static double TruePeakDecayDbPerSecond(unsigned decayIndex);
};
