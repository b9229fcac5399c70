#pragma once
// Test signals for the analyzer: interleaved stereo windows of 1024 frames.
#include <cmath>
#include <cstdint>
#include <vector>

namespace fftsig {

constexpr int kFrames = 1024;
constexpr double kPi = 3.14159265358979323846;

// A steady sine of `peak` at `hz` for `windows` consecutive windows, both
// channels alike (or the right channel inverted).
inline std::vector<std::int16_t> Sine(double hz, double rate, double peak, int windows, bool invertRight = false)
{
    std::vector<std::int16_t> samples(2 * kFrames * windows);
    for (int n = 0; n < kFrames * windows; ++n) {
        const auto v = static_cast<std::int16_t>(std::lround(peak * std::sin(2 * kPi * hz * n / rate)));
        samples[2 * n] = v;
        samples[2 * n + 1] = invertRight ? static_cast<std::int16_t>(-v) : v;
    }
    return samples;
}

// A sine centred on FFT bin `bin` of a 2048-point transform.
inline std::vector<std::int16_t> BinSine(int bin, double peak, int windows)
{
    return Sine(bin, 2048.0, peak, windows);
}

inline const std::int16_t* Window(const std::vector<std::int16_t>& s, int i) { return s.data() + 2 * kFrames * i; }

} // namespace fftsig
