#include "meters/ppm/PpmCaptureBallistics.h"

void CPpmCaptureBallistics::SetMode(EPpmBallistics mode)
{
    // Only the UI thread writes, so a plain read-modify-write is no race;
    // relaxed is enough as the word carries everything the reader needs.
    const unsigned old = m_request.load(std::memory_order_relaxed);
    const unsigned generation = (old >> kModeBits) + 1;
    m_request.store((generation << kModeBits) | static_cast<unsigned>(mode), std::memory_order_relaxed);
}

EPpmBallistics CPpmCaptureBallistics::Mode() const
{
    return CPpmBallistics::FromSettingsValue(static_cast<int>(m_request.load(std::memory_order_relaxed) & kModeMask));
}

void CPpmCaptureBallistics::SetUp(EPpmBallistics mode, int rate)
{
    m_active = mode;
    m_nRate = rate;
    for (int c = 0; c < kChannels; ++c) {
        m_quasiPeak[c].Configure(CPpmBallistics::QuasiPeak(mode));
        m_quasiPeak[c].Init(rate);
        m_truePeak[c].Init(rate);
    }
}

bool CPpmCaptureBallistics::Measure(const std::int16_t* block, int frames, int rate, float* levels, int& mode)
{
    const unsigned request = m_request.load(std::memory_order_relaxed);
    if (request != m_seenRequest || rate != m_nRate) {
        m_seenRequest = request;
        SetUp(CPpmBallistics::FromSettingsValue(static_cast<int>(request & kModeMask)), rate > 0 ? rate : 1);
    }
    mode = CPpmBallistics::SettingsValue(m_active);
    if (m_active == EPpmBallistics::DigitalPeak)
        return false;
    const bool quasiPeak = CPpmBallistics::IsQuasiPeak(m_active);
    for (int c = 0; c < kChannels; ++c) {
        if (quasiPeak) {
            m_quasiPeak[c].Process(block, frames, c);
            levels[c] = m_quasiPeak[c].Read();
        } else {
            m_truePeak[c].Process(block, frames, c);
            levels[c] = m_truePeak[c].Read();
        }
    }
    return true;
}
