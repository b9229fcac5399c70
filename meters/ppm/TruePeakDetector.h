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
    // Samples are converted into a small stack buffer behind the history
    // and filtered from there in one tight loop.
    static constexpr int kChunk = 64;
    static constexpr int kHistory = kTaps - 1;

    // Four floats in one vector register (GCC and Clang vector extension).
    typedef float Lanes __attribute__((vector_size(16)));

    // Filters buffer[kHistory .. kHistory + n), the history in front of it.
    void FilterChunk(float* buffer, int n);

    // The filter tap by tap, oldest sample first, the four phases side by
    // side: one sample times one row feeds all four interpolated values in
    // one vector operation.
    std::array<Lanes, kTaps> m_coeffs {};
    // The last kHistory samples, oldest first.
    std::array<float, kHistory> m_history {};
    // The highest magnitude of each phase since the last Read.
    Lanes m_max {};
};
