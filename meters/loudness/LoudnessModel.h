#pragma once
// Loudness and peak measurement over libebur128: momentary (400 ms),
// short-term (3 s), integrated (gated), loudness range, the maxima of
// momentary and short-term, and true peak (4x oversampled) and sample peak
// per channel.
//
// True peak comes from one CTruePeakDetector per channel rather than from
// the library's own oversampling: the library's resampler cost about three
// quarters of the whole measurement, which the capture thread's budget and
// file analysis speed cannot afford; the detector uses the same published
// interpolation filter, vectorised.
//
// Momentary and short-term are evaluated every 100 ms of input (the hop the
// gating blocks use), from the energies of the last 4 and 30 hops, so their
// maxima are exact however the input is cut into blocks and a reading costs
// no pass over 3 s of samples.
//
// Two modes: Histogram keeps the gating blocks in fixed-size histograms, so
// memory stays bounded however long a live meter runs, and the integrated
// value and range cost the same after a week as after a minute. Exact keeps
// every block (memory grows with the input) and is what file analysis uses.
//
// Open/Reset/Close allocate; adding frames and reading do not in Histogram
// mode (Exact mode grows its block list as audio arrives). Not thread-safe:
// one thread at a time.
#include "meters/loudness/LoudnessSnapshot.h"
#include "meters/ppm/TruePeakDetector.h"

#include <ebur128.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>



enum class ELoudnessMode { Histogram, Exact };

class CLoudnessModel {
public:
    static constexpr unsigned kMaxChannels = 64;
    // Momentary and short-term windows in 100 ms hops.
    static constexpr unsigned kMomentaryHops = 4;
    static constexpr unsigned kShortTermHops = 30;

    CLoudnessModel() = default;
    ~CLoudnessModel();
    CLoudnessModel(const CLoudnessModel&) = delete;
    CLoudnessModel& operator=(const CLoudnessModel&) = delete;

    // Starts a fresh measurement. Channels beyond two are weighted as the
    // usual layouts order them (L R C LFE Ls Rs ...), the LFE left out.
    // Without `truePeak` the 4x oversampling is skipped and TruePeak()
    // reads the sample peak.
    // False (and closed) when the rate or channel count is not usable.
    bool Open(unsigned channels, unsigned long rate, ELoudnessMode mode, bool truePeak = true);
    void Close();
    // Starts again with the same channels, rate and mode.
    bool Reset();
    bool IsOpen() const { return m_pState != nullptr; }
    unsigned Channels() const { return m_nChannels; }
    unsigned long Rate() const { return m_nRate; }
    ELoudnessMode Mode() const { return m_mode; }

    // Interleaved frames (Channels() samples each). Return the number of
    // 100 ms hops completed, i.e. how often momentary and short-term moved.
    unsigned AddInterleaved16(const std::int16_t* frames, std::size_t count);
    unsigned AddInterleavedFloat(const float* frames, std::size_t count);
    // The same in two parts, for two threads: the loudness without the true
    // peak, and the true peak alone. Each part takes every frame in order;
    // the two may run at the same time, as they touch separate state.
    unsigned AddInterleavedFloatWithoutTruePeak(const float* frames, std::size_t count);
    void AddTruePeakFloat(const float* frames, std::size_t count) { MeasureTruePeak(frames, count); }

    // Absent until a full window has been measured (momentary 400 ms,
    // short-term 3 s) or while it holds digital silence.
    std::optional<double> Momentary() const;
    std::optional<double> ShortTerm() const;
    // Absent while no block has passed the gates.
    std::optional<double> Integrated() const;
    // Absent while fewer than 3 s have been measured.
    std::optional<double> Range() const;
    std::optional<double> MaxMomentary() const { return m_maxMomentary; }
    std::optional<double> MaxShortTerm() const { return m_maxShortTerm; }
    // Linear magnitudes, maxima since the start (1.0 is full scale).
    double TruePeak(unsigned channel) const;
    double SamplePeak(unsigned channel) const;
    // Seconds of audio measured since the start.
    double Seconds() const;

    // Copies every value into `out`, the channel peaks of the first two
    // channels. Leaves out.resetCount alone.
    void Fill(CLoudnessSnapshot& out) const;
    // Only the peaks: what can change between two hops.
    void FillPeaks(CLoudnessSnapshot& out) const;

    // Exchanges the whole measurement with `other` (no allocation).
    void Swap(CLoudnessModel& other) noexcept;

private:
    template <typename T, typename Add> unsigned AddFrames(const T* frames, std::size_t count, bool truePeak, Add add);
    void CloseHop();
    void MeasureTruePeak(const std::int16_t* frames, std::size_t count);
    void MeasureTruePeak(const float* frames, std::size_t count);
    void ApplyChannelWeights();
    std::optional<double> WindowLoudness(unsigned hops) const;

    ebur128_state* m_pState = nullptr;
    unsigned m_nChannels = 0;
    unsigned long m_nRate = 0;
    ELoudnessMode m_mode = ELoudnessMode::Histogram;
    bool m_bTruePeak = true;
    std::size_t m_nFramesPerHop = 0;
    std::size_t m_nFramesInHop = 0;
    std::uint64_t m_nFrames = 0;
    // Mean-square energy of the last kShortTermHops hops, a ring.
    std::array<double, kShortTermHops> m_hopEnergy {};
    unsigned m_nHopPos = 0;
    std::uint64_t m_nHops = 0;
    std::optional<double> m_maxMomentary;
    std::optional<double> m_maxShortTerm;
    // One detector and its maximum since the start per channel (empty
    // without true peak); sized by Open, never while adding frames.
    std::vector<CTruePeakDetector> m_truePeakDetectors;
    std::vector<double> m_truePeakMax;
};
