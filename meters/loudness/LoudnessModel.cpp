#include "meters/loudness/LoudnessModel.h"

#include "meters/ppm/PpmBallistics.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr unsigned kHopMs = 100;
constexpr unsigned kHopsPerSecond = 1000 / kHopMs;
// Loudness of a mean-square energy: L = -0.691 + 10 log10(energy).
constexpr double kLoudnessOffset = -0.691;

double EnergyOf(double loudness) { return std::isfinite(loudness) ? std::pow(10.0, (loudness - kLoudnessOffset) / 10.0) : 0.0; }

std::optional<double> LoudnessOf(double energy)
{
    if (!(energy > 0.0))
        return std::nullopt;
    return kLoudnessOffset + 10.0 * std::log10(energy);
}

std::optional<double> Finite(int status, double value)
{
    if (status != EBUR128_SUCCESS || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int ModeFlags(ELoudnessMode mode)
{
    // The library's own true-peak mode stays off: the model's detectors do it.
    int flags = EBUR128_MODE_M | EBUR128_MODE_S | EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK;
    if (mode == ELoudnessMode::Histogram)
        flags |= EBUR128_MODE_HISTOGRAM;
    return flags;
}

// The channel roles of the common interleaved layouts (WAV/SMPTE order).
// Surround channels beside the listener weigh 1.41, the LFE is left out.
int ChannelRole(unsigned channels, unsigned index)
{
    switch (channels) {
    case 1:
    case 2:
    case 3: {
        const int roles[] = { EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER };
        return roles[index];
    }
    case 4: {
        const int roles[] = { EBUR128_LEFT, EBUR128_RIGHT, EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND };
        return roles[index];
    }
    case 5: {
        const int roles[] = { EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND };
        return roles[index];
    }
    case 6: {
        const int roles[] = { EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED, EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND };
        return roles[index];
    }
    case 8: {
        // L R C LFE, back pair behind the listener (weight 1), side pair beside.
        const int roles[] = { EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED,
            EBUR128_CENTER, EBUR128_CENTER, EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND };
        return roles[index];
    }
    default: {
        // Unknown layouts: fronts and LFE as usual, everything else weight 1.
        const int roles[] = { EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED };
        return index < 4 ? roles[index] : EBUR128_CENTER;
    }
    }
}
}

CLoudnessModel::~CLoudnessModel() { Close(); }

bool CLoudnessModel::Open(unsigned channels, unsigned long rate, ELoudnessMode mode, bool truePeak)
{
    Close();
    // Below 10 Hz a 100 ms hop would hold no frame at all.
    if (channels == 0 || channels > kMaxChannels || rate < kHopsPerSecond)
        return false;
    m_pState = ebur128_init(channels, rate, ModeFlags(mode));
    if (!m_pState)
        return false;
    m_nChannels = channels;
    m_nRate = rate;
    m_mode = mode;
    m_bTruePeak = truePeak;
    m_nFramesPerHop = rate / kHopsPerSecond;
    ApplyChannelWeights();
    if (truePeak) {
        m_truePeakDetectors.resize(channels);
        for (CTruePeakDetector& detector : m_truePeakDetectors)
            detector.Init(static_cast<double>(rate));
        m_truePeakMax.assign(channels, 0.0);
    }
    return true;
}

void CLoudnessModel::ApplyChannelWeights()
{
    for (unsigned i = 0; i < m_nChannels; ++i)
        ebur128_set_channel(m_pState, i, ChannelRole(m_nChannels, i));
}

void CLoudnessModel::Close()
{
    if (m_pState)
        ebur128_destroy(&m_pState);
    m_pState = nullptr;
    m_nChannels = 0;
    m_nRate = 0;
    m_nFramesPerHop = 0;
    m_nFramesInHop = 0;
    m_nFrames = 0;
    m_hopEnergy.fill(0.0);
    m_nHopPos = 0;
    m_nHops = 0;
    m_maxMomentary.reset();
    m_maxShortTerm.reset();
    m_truePeakDetectors.clear();
    m_truePeakMax.clear();
}

bool CLoudnessModel::Reset()
{
    if (!m_pState)
        return false;
    return Open(m_nChannels, m_nRate, m_mode, m_bTruePeak);
}

template <typename T, typename Add>
unsigned CLoudnessModel::AddFrames(const T* frames, std::size_t count, bool truePeak, Add add)
{
    if (!m_pState || !frames)
        return 0;
    unsigned hops = 0;
    // Cut the input at hop boundaries so every hop is closed exactly where
    // its 100 ms end, whatever the block size.
    while (count > 0) {
        const std::size_t take = std::min(count, m_nFramesPerHop - m_nFramesInHop);
        add(m_pState, frames, take);
        if (truePeak)
            MeasureTruePeak(frames, take);
        frames += take * m_nChannels;
        count -= take;
        m_nFrames += take;
        m_nFramesInHop += take;
        if (m_nFramesInHop == m_nFramesPerHop) {
            m_nFramesInHop = 0;
            CloseHop();
            ++hops;
        }
    }
    return hops;
}

unsigned CLoudnessModel::AddInterleaved16(const std::int16_t* frames, std::size_t count)
{
    return AddFrames(frames, count, true,
                     [](ebur128_state* st, const std::int16_t* f, std::size_t n) { ebur128_add_frames_short(st, f, n); });
}

unsigned CLoudnessModel::AddInterleavedFloat(const float* frames, std::size_t count)
{
    return AddFrames(frames, count, true, [](ebur128_state* st, const float* f, std::size_t n) { ebur128_add_frames_float(st, f, n); });
}

unsigned CLoudnessModel::AddInterleavedFloatWithoutTruePeak(const float* frames, std::size_t count)
{
    return AddFrames(frames, count, false, [](ebur128_state* st, const float* f, std::size_t n) { ebur128_add_frames_float(st, f, n); });
}

void CLoudnessModel::MeasureTruePeak(const std::int16_t* frames, std::size_t count)
{
    if (m_truePeakDetectors.empty())
        return;
    if (m_nChannels == 2) {
        for (unsigned ch = 0; ch < 2; ++ch) {
            m_truePeakDetectors[ch].Process(frames, static_cast<int>(count), static_cast<int>(ch));
            m_truePeakMax[ch] = std::max(m_truePeakMax[ch], static_cast<double>(m_truePeakDetectors[ch].Read()));
        }
        return;
    }
    // Other layouts: convert one channel at a time through a small stack
    // buffer, so no allocation is needed whatever the channel count.
    constexpr std::size_t kChunk = 256;
    float buffer[kChunk];
    for (unsigned ch = 0; ch < m_nChannels; ++ch) {
        CTruePeakDetector& detector = m_truePeakDetectors[ch];
        for (std::size_t done = 0; done < count;) {
            const std::size_t n = std::min(kChunk, count - done);
            for (std::size_t i = 0; i < n; ++i)
                buffer[i] = static_cast<float>(frames[(done + i) * m_nChannels + ch]) * kInt16FullScale;
            detector.Process(buffer, static_cast<int>(n));
            done += n;
        }
        m_truePeakMax[ch] = std::max(m_truePeakMax[ch], static_cast<double>(detector.Read()));
    }
}

void CLoudnessModel::MeasureTruePeak(const float* frames, std::size_t count)
{
    if (m_truePeakDetectors.empty())
        return;
    for (unsigned ch = 0; ch < m_nChannels; ++ch) {
        CTruePeakDetector& detector = m_truePeakDetectors[ch];
        detector.Process(frames + ch, static_cast<int>(count), static_cast<int>(m_nChannels));
        m_truePeakMax[ch] = std::max(m_truePeakMax[ch], static_cast<double>(detector.Read()));
    }
}

void CLoudnessModel::CloseHop()
{
    double hopLoudness = 0.0;
    const int status = ebur128_loudness_window(m_pState, kHopMs, &hopLoudness);
    m_hopEnergy[m_nHopPos] = status == EBUR128_SUCCESS ? EnergyOf(hopLoudness) : 0.0;
    m_nHopPos = (m_nHopPos + 1) % kShortTermHops;
    ++m_nHops;
    auto raise = [](std::optional<double>& max, const std::optional<double>& value) {
        if (value && (!max || *value > *max))
            max = value;
    };
    raise(m_maxMomentary, Momentary());
    raise(m_maxShortTerm, ShortTerm());
}

std::optional<double> CLoudnessModel::WindowLoudness(unsigned hops) const
{
    if (m_nHops < hops)
        return std::nullopt;
    double sum = 0.0;
    for (unsigned i = 1; i <= hops; ++i)
        sum += m_hopEnergy[(m_nHopPos + kShortTermHops - i) % kShortTermHops];
    return LoudnessOf(sum / hops);
}

std::optional<double> CLoudnessModel::Momentary() const { return WindowLoudness(kMomentaryHops); }
std::optional<double> CLoudnessModel::ShortTerm() const { return WindowLoudness(kShortTermHops); }

std::optional<double> CLoudnessModel::Integrated() const
{
    if (!m_pState)
        return std::nullopt;
    double value = 0.0;
    const int status = ebur128_loudness_global(m_pState, &value);
    return Finite(status, value);
}

std::optional<double> CLoudnessModel::Range() const
{
    if (!m_pState || m_nHops < kShortTermHops)
        return std::nullopt;
    double value = 0.0;
    const int status = ebur128_loudness_range(m_pState, &value);
    return Finite(status, value);
}

double CLoudnessModel::TruePeak(unsigned channel) const
{
    if (!m_bTruePeak)
        return SamplePeak(channel);
    if (channel >= m_truePeakMax.size())
        return 0.0;
    // A true peak is never below the sample peak; taking both covers the
    // last samples still in the filter's delay line and its ripple.
    return std::max(m_truePeakMax[channel], SamplePeak(channel));
}

double CLoudnessModel::SamplePeak(unsigned channel) const
{
    double value = 0.0;
    if (!m_pState || channel >= m_nChannels || ebur128_sample_peak(m_pState, channel, &value) != EBUR128_SUCCESS)
        return 0.0;
    return value;
}

double CLoudnessModel::Seconds() const { return m_nRate ? static_cast<double>(m_nFrames) / static_cast<double>(m_nRate) : 0.0; }

void CLoudnessModel::Fill(CLoudnessSnapshot& out) const
{
    std::uint8_t valid = 0;
    auto put = [&valid](float& field, std::uint8_t flag, const std::optional<double>& value) {
        field = value ? static_cast<float>(*value) : 0.0f;
        if (value)
            valid |= flag;
    };
    put(out.momentary, CLoudnessSnapshot::kMomentary, Momentary());
    put(out.shortTerm, CLoudnessSnapshot::kShortTerm, ShortTerm());
    put(out.integrated, CLoudnessSnapshot::kIntegrated, Integrated());
    put(out.range, CLoudnessSnapshot::kRange, Range());
    put(out.maxMomentary, CLoudnessSnapshot::kMaxMomentary, m_maxMomentary);
    put(out.maxShortTerm, CLoudnessSnapshot::kMaxShortTerm, m_maxShortTerm);
    out.valid = valid;
    FillPeaks(out);
}

void CLoudnessModel::FillPeaks(CLoudnessSnapshot& out) const
{
    for (unsigned ch = 0; ch < static_cast<unsigned>(CLoudnessSnapshot::kChannels); ++ch) {
        out.truePeak[ch] = static_cast<float>(TruePeak(ch));
        out.samplePeak[ch] = static_cast<float>(SamplePeak(ch));
    }
}

void CLoudnessModel::Swap(CLoudnessModel& other) noexcept
{
    std::swap(m_pState, other.m_pState);
    std::swap(m_nChannels, other.m_nChannels);
    std::swap(m_nRate, other.m_nRate);
    std::swap(m_mode, other.m_mode);
    std::swap(m_bTruePeak, other.m_bTruePeak);
    std::swap(m_nFramesPerHop, other.m_nFramesPerHop);
    std::swap(m_nFramesInHop, other.m_nFramesInHop);
    std::swap(m_nFrames, other.m_nFrames);
    std::swap(m_hopEnergy, other.m_hopEnergy);
    std::swap(m_nHopPos, other.m_nHopPos);
    std::swap(m_nHops, other.m_nHops);
    std::swap(m_maxMomentary, other.m_maxMomentary);
    std::swap(m_maxShortTerm, other.m_maxShortTerm);
    std::swap(m_truePeakDetectors, other.m_truePeakDetectors);
    std::swap(m_truePeakMax, other.m_truePeakMax);
}
