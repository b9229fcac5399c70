#pragma once
// The true peak of one channel: the signal is interpolated to four times
// its rate with the 48-tap, four-phase filter the broadcast loudness
// recommendation publishes, and the highest magnitude of the interpolated
// values is kept. So a peak that falls between two samples is seen, up to
// the 3 dB a sine at a quarter of the rate can hide.
//
// Usage: Init(rate) when the device opens; Process() every block; Read()
// once per block gives the block's true peak and starts the next one.
// Levels are linear, 1.0 full scale. The interpolated values lag the input
// by six samples; a block's peak may show one block late.
//
// Threads: one thread at a time (the capture thread in the live program).
// Process and Read never allocate or block.
#include <array>
#include <cstdint>

class CTruePeakDetector {
public:
    static constexpr int kPhases = 4;
    static constexpr int kTaps = 12;

    // Loads the filter (coefficients are the instance's own) and clears
    // the history. The filter is the same at every rate.
    void Init(double rate);
    void Reset();

    // `n` samples, `stride` apart (2 for one channel of a stereo buffer).
    void Process(const float* samples, int n, int stride = 1);
    // One channel (0 left, 1 right) of `frames` 16-bit stereo frames.
    void Process(const std::int16_t* stereo, int frames, int channel);

    // The highest interpolated magnitude since the last Read; starts anew.
    float Read();

private:
    void Push(float x);

    // Each phase's taps, oldest sample first, to run over the history.
    std::array<std::array<float, kTaps>, kPhases> m_coeffs {};
    // The last kTaps samples, stored twice so the window that ends at the
    // newest sample is always contiguous.
    std::array<float, 2 * kTaps> m_history {};
    int m_nPos = 0;
    float m_fMax = 0;
};
