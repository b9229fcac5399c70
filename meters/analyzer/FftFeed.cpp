#include "meters/analyzer/FftFeed.h"

#include <algorithm>

static_assert(fft::kMaxBars == kBandCount, "the packet carries one value per bar");

CFftFeed::CFftFeed(const CFftCaptureState& state)
    : m_state(state)
    , m_windows(CFftWindowTables::Instance())
{
    m_engine.Init(fft::kFftSize, m_input.data(), m_output.data(), m_bands.data());
}

int CFftFeed::Mono(int left, int right, int inputMode)
{
    switch (inputMode) {
    case fft::kInputLeft: return left;
    case fft::kInputRight: return right;
    case fft::kInputLeftMinusRight: return (left - right) / 2;
    default: return (left + right) / 2;
    }
}

bool CFftFeed::Feed(const std::int16_t* window, std::uint32_t* bands)
{
    Mix(window, m_state.InputMode());
    // While off the newest window is still kept, so the first transform after
    // switching on pairs it with the last window processed before.
    if (!m_state.IsOn() || !m_engine.HasPlan())
        return false;
    ApplyWindow(m_state.WindowType());
    m_engine.Process();
    const bool due = HandOff(bands);
    ShiftFrame();
    return due;
}

template <typename MonoOf>
void CFftFeed::MixWith(const std::int16_t* window, MonoOf monoOf)
{
    for (int j = 0; j < kHalf; ++j) {
        const double mono = monoOf(window[2 * j], window[2 * j + 1]);
        m_input[kHalf + j] = mono;
        m_rawHalf[j] = mono;
    }
}

void CFftFeed::Mix(const std::int16_t* window, int inputMode)
{
    // The mode holds for the whole window: one loop per mode keeps the
    // choice out of the per-frame work.
    switch (inputMode) {
    case fft::kInputLeft: MixWith(window, [](int left, int) { return left; }); break;
    case fft::kInputRight: MixWith(window, [](int, int right) { return right; }); break;
    case fft::kInputLeftMinusRight: MixWith(window, [](int left, int right) { return (left - right) / 2; }); break;
    default: MixWith(window, [](int left, int right) { return (left + right) / 2; }); break;
    }
}

void CFftFeed::ApplyWindow(int windowType)
{
    // The table is selected once per frame; all tables are immutable, so a
    // change of type on the UI thread can never be seen half done.
    const CFftWindowTables::Table& table = m_windows.Get(windowType);
    for (int i = 0; i < fft::kFftSize; ++i)
        m_input[i] *= table[i];
}

bool CFftFeed::HandOff(std::uint32_t* bands)
{
    if (!m_bSecondSpectrum) {
        m_bSecondSpectrum = true;
        m_previousBands = m_bands;
        return false;
    }
    m_bSecondSpectrum = false;
    for (int i = 0; i < fft::kMaxBars; ++i)
        bands[i] = std::max(m_bands[i], m_previousBands[i]);
    return true;
}

void CFftFeed::ShiftFrame()
{
    // The first half is refilled from the unwindowed copy, so no sample is
    // ever windowed twice.
    std::copy(m_rawHalf.begin(), m_rawHalf.end(), m_input.begin());
}
