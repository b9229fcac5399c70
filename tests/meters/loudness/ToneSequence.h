#pragma once
// Test signals for the loudness cases: a stereo 1 kHz sine (the same on both
// channels) in steps of (level in dBFS of its peak, seconds), delivered in
// blocks the size the live capture uses, as 16-bit or float interleaved frames.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

struct ToneStep {
    double dbfs;
    double seconds;
};

class CToneSequence {
public:
    static constexpr std::size_t kBlockFrames = 512;

    CToneSequence(unsigned rate, std::vector<ToneStep> steps) : m_rate(rate), m_steps(std::move(steps))
    {
        // One whole number of periods: 48 samples at 48 kHz, 441 at 44.1 kHz.
        m_unit.resize(rate / std::gcd(rate, 1000u));
        for (std::size_t i = 0; i < m_unit.size(); ++i) m_unit[i] = std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i) / rate);
    }

    // Calls sink(const T* interleaved, frames) for every block in order.
    template <typename T, typename Sink> void Feed(Sink&& sink) const
    {
        std::vector<T> block(kBlockFrames * 2);
        std::size_t filled = 0, phase = 0;
        for (const ToneStep& step : m_steps) {
            const double gain = std::pow(10.0, step.dbfs / 20.0);
            for (auto i = std::llround(step.seconds * m_rate); i > 0; --i, phase = (phase + 1) % m_unit.size()) {
                const double x = gain * m_unit[phase];
                block[filled * 2] = block[filled * 2 + 1] = std::is_same_v<T, float> ? static_cast<T>(x) : static_cast<T>(std::clamp(std::lround(x * 32768.0), -32768L, 32767L));
                if (++filled == kBlockFrames) {
                    sink(block.data(), filled);
                    filled = 0;
                }
            }
        }
        if (filled)
            sink(block.data(), filled);
    }

private:
    unsigned m_rate;
    std::vector<ToneStep> m_steps;
    std::vector<double> m_unit;
};
