#pragma once
// The analyzer's share of every 1024-frame analysis window: the mono mix by
// input mode, the 2048-value frame moving by 1024 values (50 % overlap), the
// window function, the transform and band mapping, and the hand-off of the
// bars every second transform (the larger of the two newest spectra).
// Owns its sample and spectrum buffers, so nothing is allocated per window.
//
// Threads: constructed and destroyed on the UI thread, before capture starts
// and after it stops; Feed runs on the capture thread only and reads the UI
// side through CFftCaptureState's atomics alone.
#include "audio/MeterSinks.h"
#include "meters/analyzer/FftCaptureState.h"
#include "meters/analyzer/FftEngine.h"
#include "meters/analyzer/FftWindowTables.h"

#include <array>
#include <cstdint>

class CFftFeed : public IAnalyzerFeed {
public:
    explicit CFftFeed(const CFftCaptureState& state);
    ~CFftFeed() override = default;
    CFftFeed(const CFftFeed&) = delete;
    CFftFeed& operator=(const CFftFeed&) = delete;

    // False when FFTW could not make the plan; the analyzer must then stay off.
    bool HasPlan() const { return m_engine.HasPlan(); }
    CFftEngine& Engine() { return m_engine; }

    // `window`: 1024 interleaved stereo frames, left first, older frames
    // first. Returns true, with bands[0..127] written, when the bars are due.
    bool Feed(const std::int16_t* window, std::uint32_t* bands) override;

    // The mono value of one frame by input mode; both halvings truncate
    // toward zero.
    static int Mono(int left, int right, int inputMode);

private:
    void Mix(const std::int16_t* window, int inputMode);
    template <typename MonoOf>
    void MixWith(const std::int16_t* window, MonoOf monoOf);
    void ApplyWindow(int windowType);
    bool HandOff(std::uint32_t* bands);
    void ShiftFrame();

    static constexpr int kHalf = fft::kWindowFrames;

    const CFftCaptureState& m_state;
    const CFftWindowTables& m_windows;
    CFftEngine m_engine;

    alignas(16) std::array<fftw_real, fft::kFftSize> m_input {};
    alignas(16) std::array<fftw_real, fft::kFftSize> m_output {};
    alignas(16) std::array<fftw_real, kHalf> m_rawHalf {};
    std::array<std::uint32_t, fft::kMaxBars> m_bands {};
    std::array<std::uint32_t, fft::kMaxBars> m_previousBands {};
    // The bars take every second spectrum; one analyzer per program, so this
    // per-instance toggle is the program's single toggle. Capture thread only.
    bool m_bSecondSpectrum = false;
};
