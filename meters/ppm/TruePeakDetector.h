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
// The filter runs eight input samples side by side. Where the processor
// has 256-bit vectors (AVX) a kernel built for them is chosen at Init; the
// portable kernel is the same arithmetic in the same order, so both give
// bit-identical readings and the program still runs on any x86-64.
//
// Threads: one thread at a time (the capture thread in the live program).
// Process and Read never allocate or block.
#include <array>
#include <cstdint>

class CTruePeakDetector {
public:
    static constexpr int kPhases = 4;
    static constexpr int kTaps = 12;

    // Which filter kernel runs: the widest the processor offers, or the
    // portable one every x86-64 runs (a test compares the two).
    enum class EKernel { Widest, Portable };

    // Loads the filter (coefficients are the instance's own) and clears
    // the history. The filter is the same at every rate.
    void Init(double rate, EKernel kernel = EKernel::Widest);
    void Reset();

    // `n` samples, `stride` apart (2 for one channel of a stereo buffer).
    void Process(const float* samples, int n, int stride = 1);
    // One channel (0 left, 1 right) of `frames` 16-bit stereo frames.
    void Process(const std::int16_t* stereo, int frames, int channel);

    // The highest interpolated magnitude since the last Read; starts anew.
    float Read();

    // The filter taps, oldest sample first, per phase.
    using Taps = std::array<std::array<float, kTaps>, kPhases>;
    // Filters buffer[kHistory .. kHistory + n), the history in front of it,
    // raising highest[p] to phase p's largest magnitude.
    using Kernel = void (*)(const float* buffer, int n, const Taps& taps, float* highest);

private:
    // Samples are converted into a small stack buffer behind the history
    // and filtered from there.
    static constexpr int kChunk = 64;
    static constexpr int kHistory = kTaps - 1;

    void FilterChunk(float* buffer, int n);

    Taps m_taps {};
    Kernel m_kernel = nullptr;
    // The last kHistory samples, oldest first.
    std::array<float, kHistory> m_history {};
    // The highest magnitude of each phase since the last Read.
    std::array<float, kPhases> m_max {};
};
