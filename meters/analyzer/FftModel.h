#pragma once
// The spectrum analyzer's measurement: per bar the level index, raised flag
// and highest level (CFftBarState); the level table that turns a band
// amplitude into a level; the decay time and peak mode; and the tick clock,
// whose accumulator is the program's (SetTickShare). The peak markers are
// the display's business: the model only says when they are due to fall.
//
// Plain C++, no widget code: the live control draws it, lumetra-analyze
// runs it alone. UI thread only.
#include "audio/MeterSinks.h"
#include "meters/analyzer/FftBarState.h"
#include "meters/analyzer/FftIds.h"
#include "meters/analyzer/FftLevelTable.h"
#include "meters/analyzer/FftTickClock.h"

#include <array>
#include <cstdint>

class CFftModel {
public:
    static constexpr unsigned kBars = fft::kMaxBars;

    void SetTickShare(CMeterTickShare* share) { m_clock.SetShare(share); }

    void SetDecayTime(int units) { m_nDecayTime = units; }
    int DecayTime() const { return m_nDecayTime; }
    // Hold and decay exclude each other: switching one on switches the other off.
    void SetPeakHold(bool on);
    void SetPeakDecay(bool on);
    bool PeakHold() const { return m_bPeakHold; }
    bool PeakDecay() const { return m_bPeakDecay; }

    unsigned LevelOf(std::uint32_t amplitude) const { return m_levelTable.Level(amplitude); }
    // A band amplitude for bar `bar`. True when the bar rose or stayed.
    bool Input(std::uint32_t amplitude, unsigned bar);

    // One meter tick in two halves (see CFftTickClock): when the decay is
    // due the caller lets each bar Fall, then calls EndTick.
    CFftTickClock::Due BeginTick() { return m_clock.Advance(m_nDecayTime, m_bPeakDecay); }
    void Fall(unsigned bar) { m_bars[bar].Fall(m_bars[bar].FallStep()); }
    void EndTick() { m_clock.Finish(); }
    // The whole tick, for a caller that draws nothing.
    CFftTickClock::Due Tick();

    CFftBarState& Bar(unsigned i) { return m_bars[i]; }
    const CFftBarState& Bar(unsigned i) const { return m_bars[i]; }
    const CFftLevelTable& LevelTable() const { return m_levelTable; }

    // Copies what was measured and the options, keeping this model's tick share.
    void TakeStateOf(const CFftModel& other);

private:
    std::array<CFftBarState, kBars> m_bars {};
    int m_nDecayTime = fft::kDecayMedium;
    bool m_bPeakHold = false;
    bool m_bPeakDecay = true;
    CFftTickClock m_clock;
    CFftLevelTable m_levelTable;
};
