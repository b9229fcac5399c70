#pragma once
// The peak programme meter's measurement: per channel the level in scale
// steps, the raised flag and the maximum (CPpmChannel); the decay time and
// peak mode; and the tick cadence. Ticks add to an accumulator the whole
// program shares (CMeterTickShare, owned with the hub); once it reaches the
// decay time the bars fall, and with peak decay the markers fall whenever
// the model's own peak accumulator reaches 20 units. The markers themselves
// are the display's business: the model only says when they are due.
//
// Plain C++, no widget code: the live control draws it, lumetra-analyze
// runs it alone. UI thread only.
//
// Ballistics: in the default mode the bars read block peaks and fall in
// scale steps per tick, as above. In the modes that read in dB the bar's
// level is the dB reading of each block (InputLevel) on the same 361-step
// scale; the reading rises at once and falls a fixed number of dB per
// second of the time the blocks cover, and ticks no longer move the bars
// (the markers still fall on schedule).
#include "meters/common/MeterTickShare.h"
#include "meters/ppm/PpmBallistics.h"
#include "meters/ppm/PpmDbFall.h"
#include "meters/ppm/PpmChannel.h"
#include "meters/ppm/PpmLevelTable.h"

#include <string>
#include <vector>

class CPpmModel {
public:
    struct TickDue {
        bool decay = false;    // the bars fall this tick
        bool peakFall = false; // the markers fall first
    };

    explicit CPpmModel(unsigned channels = ppm::kBarCount);

    // Ties the tick accumulator to the program's; by default the model
    // counts on its own.
    void SetTickShare(CMeterTickShare* share) { m_pTick = share ? share : &m_ownTick; }
    // Channels keep their state where the count stays; new ones start at 0.
    void SetChannelCount(unsigned channels);
    unsigned ChannelCount() const { return static_cast<unsigned>(m_channels.size()); }

    void SetDecayTime(unsigned units);
    unsigned DecayTime() const { return m_nDecayTime; }
    // Hold and decay exclude each other: switching one on switches the other off.
    void SetPeakHold(bool on);
    void SetPeakDecay(bool on);
    bool PeakHold() const { return m_bPeakHold; }
    bool PeakDecay() const { return m_bPeakDecay; }

    // The scale step of a folded magnitude; magnitudes beyond the table are
    // no reading (returns false).
    bool StepOf(unsigned magnitude, unsigned& step) const;
    // A block peak magnitude for channel `channel`. True when the bar rose
    // or stayed (the display paints the new end).
    bool Input(unsigned magnitude, unsigned channel);

    // One meter tick in two halves, so a display can move its markers
    // before the bars fall and paint each fall: BeginTick counts the tick
    // and says what is due; when the decay is due the caller lets each
    // channel Fall and then calls EndTick.
    TickDue BeginTick();
    void Fall(unsigned channel);
    void EndTick() { m_pTick->busy = 0; }
    // The whole tick, for a caller that draws nothing.
    TickDue Tick();

    // Every channel's level to 0 (the bars are cleared).
    void ClearLevels();
    // The maxima start again from what the bars show now.
    void RestartMaxima();

    CPpmChannel& Channel(unsigned i) { return m_channels[i]; }
    const CPpmChannel& Channel(unsigned i) const { return m_channels[i]; }
    const CPpmLevelTable& LevelTable() const { return m_levelTable; }

    // The readout of a maximum: its dB value "%2.1f", "0" at full scale,
    // empty below step 1.
    static std::string ReadoutText(unsigned maxStep);

    // ---- ballistics ----
    // A new mode starts from silence: levels, readings and maxima at 0.
    void SetBallistics(EPpmBallistics mode);
    EPpmBallistics Ballistics() const { return m_ballistics; }
    bool ReadsDb() const { return m_ballistics != EPpmBallistics::DigitalPeak; }
    // One block's reading of channel `channel` in a dB mode: `linear` (1.0 =
    // full scale) covering `seconds`. Ignored while reading block peaks.
    // True when the level rose or stayed (else it fell).
    bool InputLevel(float linear, unsigned channel, double seconds);
    // The channel's reading in dB (the floor while reading block peaks).
    double ReadingDb(unsigned channel) const;
    // The channel's reading back to silence (its bar was cleared).
    void ClearReading(unsigned channel);
    // The highest scale step at or below `db`; 0 dB and above read full scale.
    static unsigned StepOfDb(double db);
    // The decay-time menu's index of the decay time: 0 Fast, 1 Medium, 2 Slow.
    unsigned DecayIndex() const;

    // Copies what was measured and the options, keeping this model's tick share.
    void TakeStateOf(const CPpmModel& other);

private:
    std::vector<CPpmChannel> m_channels;
    unsigned m_nDecayTime = ppm::kDecayMedium;
    bool m_bPeakHold = false;
    bool m_bPeakDecay = true;
    unsigned m_nPeakAccum = 0;
    CMeterTickShare m_ownTick;
    CMeterTickShare* m_pTick = &m_ownTick;
    CPpmLevelTable m_levelTable;

    // ---- ballistics ----
    void ApplyReturnRate();
    EPpmBallistics m_ballistics = CPpmBallistics::kDefault;
    std::vector<CPpmDbFall> m_readings;
};
