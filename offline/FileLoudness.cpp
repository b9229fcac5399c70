#include "offline/FileLoudness.h"

#include <QJsonValue>

#include <cmath>
#include <optional>

namespace {
const QString kIntegrated = QStringLiteral("integrated_lufs");
const QString kRange = QStringLiteral("range_lu");
const QString kMaxMomentary = QStringLiteral("max_momentary_lufs");
const QString kMaxShortTerm = QStringLiteral("max_short_term_lufs");

// Gating blocks and windows, in seconds: below these a value does not exist.
constexpr double kMomentarySeconds = 0.4;
constexpr double kShortTermSeconds = 3.0;

QJsonValue ValueOf(const std::optional<double>& value) { return value ? QJsonValue(*value) : QJsonValue(); }

// A linear peak in dB; silence has no level, so it is null.
QJsonValue DecibelsOf(double linear) { return linear > 0.0 ? QJsonValue(20.0 * std::log10(linear)) : QJsonValue(); }
}

bool CFileLoudness::Open(int channels, int rate, const std::vector<int>& channelMap, int maxFrames)
{
    m_nChannels = channels;
    m_layout = CLoudnessLayout::For(channels, channelMap);
    if (!m_layout.IsIdentity())
        m_rearranged.assign(static_cast<std::size_t>(maxFrames) * static_cast<std::size_t>(channels), 0.0f);
    return channels > 0 && rate > 0
        && m_model.Open(static_cast<unsigned>(channels), static_cast<unsigned long>(rate), ELoudnessMode::Exact);
}

void CFileLoudness::Add(const float* frames, int count)
{
    if (!m_model.IsOpen() || count <= 0)
        return;
    if (m_layout.IsIdentity()) {
        m_model.AddInterleavedFloat(frames, static_cast<std::size_t>(count));
        return;
    }
    m_layout.Rearrange(frames, m_rearranged.data(), m_nChannels, count);
    m_model.AddInterleavedFloat(m_rearranged.data(), static_cast<std::size_t>(count));
}

void CFileLoudness::AddAllButTruePeak(const float* frames, int count)
{
    if (!m_layout.IsIdentity()) {
        Add(frames, count);
        return;
    }
    if (m_model.IsOpen() && count > 0)
        m_model.AddInterleavedFloatWithoutTruePeak(frames, static_cast<std::size_t>(count));
}

void CFileLoudness::AddTruePeak(const float* frames, int count)
{
    if (m_layout.IsIdentity() && m_model.IsOpen() && count > 0)
        m_model.AddTruePeakFloat(frames, static_cast<std::size_t>(count));
}

QJsonObject CFileLoudness::Report() const
{
    QJsonArray truePeaks;
    QJsonArray samplePeaks;
    // Peaks in the file's own channel order.
    std::vector<int> slotOf(static_cast<std::size_t>(m_nChannels), 0);
    for (int slot = 0; slot < m_nChannels; ++slot)
        slotOf[static_cast<std::size_t>(m_layout.SourceOf(slot))] = slot;
    for (int ch = 0; ch < m_nChannels && m_model.IsOpen(); ++ch) {
        const auto slot = static_cast<unsigned>(slotOf[static_cast<std::size_t>(ch)]);
        truePeaks.append(DecibelsOf(m_model.TruePeak(slot)));
        samplePeaks.append(DecibelsOf(m_model.SamplePeak(slot)));
    }
    return QJsonObject {
        { kIntegrated, ValueOf(m_model.Integrated()) },
        { kRange, ValueOf(m_model.Range()) },
        { kMaxMomentary, ValueOf(m_model.MaxMomentary()) },
        { kMaxShortTerm, ValueOf(m_model.MaxShortTerm()) },
        { QStringLiteral("true_peak_dbtp"), truePeaks },
        { QStringLiteral("sample_peak_dbfs"), samplePeaks },
    };
}

QJsonArray CFileLoudness::Notes() const
{
    QJsonArray notes;
    if (!m_layout.Note().isEmpty())
        notes.append(m_layout.Note());
    if (!m_model.IsOpen()) {
        notes.append(QStringLiteral("loudness could not be measured at this rate or channel count"));
        return notes;
    }
    const double seconds = m_model.Seconds();
    if (seconds < kMomentarySeconds) {
        notes.append(QStringLiteral("shorter than one 400 ms gating block: integrated loudness, loudness range and "
                                    "the momentary and short-term maxima are null"));
        return notes;
    }
    if (!m_model.Integrated())
        notes.append(QStringLiteral("nothing reached the -70 LUFS gate: integrated loudness is null"));
    if (seconds < kShortTermSeconds)
        notes.append(QStringLiteral("shorter than the 3 s short-term window: loudness range and the short-term "
                                    "maximum are null"));
    return notes;
}

void CFileLoudness::AddTimelineFields(QJsonObject& entry) const
{
    entry.insert(QStringLiteral("momentary_lufs"), ValueOf(m_model.Momentary()));
    entry.insert(QStringLiteral("short_term_lufs"), ValueOf(m_model.ShortTerm()));
}
