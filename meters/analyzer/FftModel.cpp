#include "meters/analyzer/FftModel.h"

void CFftModel::SetPeakHold(bool on)
{
    m_bPeakHold = on;
    if (on)
        m_bPeakDecay = false;
}

void CFftModel::SetPeakDecay(bool on)
{
    m_bPeakDecay = on;
    if (on)
        m_bPeakHold = false;
}

bool CFftModel::Input(std::uint32_t amplitude, unsigned bar)
{
    if (bar >= kBars)
        return false;
    return m_bars[bar].Input(LevelOf(amplitude));
}

CFftTickClock::Due CFftModel::Tick()
{
    const CFftTickClock::Due due = BeginTick();
    if (!due.decay)
        return due;
    for (unsigned i = 0; i < kBars; ++i)
        Fall(i);
    EndTick();
    return due;
}

void CFftModel::TakeStateOf(const CFftModel& other)
{
    m_bars = other.m_bars;
    m_nDecayTime = other.m_nDecayTime;
    m_bPeakHold = other.m_bPeakHold;
    m_bPeakDecay = other.m_bPeakDecay;
    m_clock.SetPeakAccum(other.m_clock.PeakAccum());
}
