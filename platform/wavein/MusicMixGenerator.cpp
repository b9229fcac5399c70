#include "platform/wavein/MusicMixGenerator.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kTempoBpm = 118.0;
constexpr int kBeatsPerChord = 8;
// A minor, F major, C major, G major (Hz), the bass plays the root an octave down.
constexpr double kChords[4][3] = {
    { 220.00, 261.63, 329.63 },
    { 174.61, 220.00, 261.63 },
    { 130.81, 164.81, 196.00 },
    { 196.00, 246.94, 293.66 },
};
constexpr double kDetune[2] = { 0.997, 1.003 };
constexpr double kPanRateHz = 0.07;
constexpr double kSwellRateHz = 0.031;

double Wrap(double phase) { return phase >= 1.0 ? phase - 1.0 : phase; }
}

CMusicMixGenerator::CMusicMixGenerator(int sampleRate)
    : m_fRate(sampleRate)
    , m_nBeatFrames(static_cast<long long>(sampleRate * 60.0 / kTempoBpm))
    , m_noise(0x9e3779b9u)
{
}

double CMusicMixGenerator::Pad(double& left, double& right)
{
    const auto& chord = kChords[(m_nBeat / kBeatsPerChord) % 4];
    const double beatPos = static_cast<double>(m_nFrame) / static_cast<double>(m_nBeatFrames);
    // Each chord swells in over its first beat.
    const bool chordStart = m_nBeat % kBeatsPerChord == 0;
    const double envelope = chordStart ? 0.3 + 0.7 * beatPos : 1.0;
    double mono = 0;
    for (int n = 0; n < kChordNotes; ++n) {
        for (int d = 0; d < kDetuned; ++d) {
            double& phase = m_padPhase[n][d];
            const double x = kTwoPi * phase;
            // Fundamental plus two softer harmonics: a warm, string-like tone.
            const double tone = std::sin(x) + 0.35 * std::sin(2 * x) + 0.15 * std::sin(3 * x);
            // The two detuned copies sit on opposite sides, for width.
            const double gain = 0.045 * envelope * tone;
            if (d == 0)
                left += gain;
            else
                right += gain;
            mono += gain;
            phase = Wrap(phase + chord[n] * kDetune[d] / m_fRate);
        }
    }
    return mono;
}

double CMusicMixGenerator::Bass()
{
    const double root = kChords[(m_nBeat / kBeatsPerChord) % 4][0] / 2.0;
    const double t = static_cast<double>(m_nFrame) / m_fRate;
    const double envelope = std::exp(-t * 3.0);
    const double x = kTwoPi * m_fBassPhase;
    m_fBassPhase = Wrap(m_fBassPhase + root / m_fRate);
    return 0.22 * envelope * (std::sin(x) + 0.2 * std::sin(2 * x));
}

double CMusicMixGenerator::Kick()
{
    const double t = static_cast<double>(m_nFrame) / m_fRate;
    // A falling pitch (110 Hz down to 45 Hz) under a fast decay.
    const double freq = 45.0 + 65.0 * std::exp(-t * 25.0);
    m_fKickPhase = Wrap(m_fKickPhase + freq / m_fRate);
    return 0.45 * std::exp(-t * 9.0) * std::sin(kTwoPi * m_fKickPhase);
}

double CMusicMixGenerator::Hat()
{
    // Off-beats: the second half of each beat.
    const long long half = m_nBeatFrames / 2;
    if (m_nFrame < half)
        return 0;
    const double t = static_cast<double>(m_nFrame - half) / m_fRate;
    // A first difference of white noise tilts it towards the treble.
    const double white = m_noise.White();
    const double bright = white - m_fHatLast;
    m_fHatLast = white;
    return 0.08 * std::exp(-t * 60.0) * bright;
}

void CMusicMixGenerator::AdvanceClock()
{
    m_fTime += 1.0 / m_fRate;
    if (++m_nFrame >= m_nBeatFrames) {
        m_nFrame = 0;
        ++m_nBeat;
        m_fKickPhase = 0;
    }
}

void CMusicMixGenerator::Next(double& left, double& right)
{
    left = 0;
    right = 0;
    Pad(left, right);
    // The bass and kick stay in the centre, the hats lean right.
    const double centre = Bass() + Kick();
    const double hat = Hat();
    // The pad wanders slowly from side to side.
    const double pan = 0.5 + 0.35 * std::sin(kTwoPi * kPanRateHz * m_fTime);
    const double padLeft = left * (1.0 - pan) * 2.0;
    const double padRight = right * pan * 2.0;
    // Slow dynamics: the whole mix swells between -8 dB and 0 dB.
    const double swell = 0.7 + 0.3 * std::sin(kTwoPi * kSwellRateHz * m_fTime);
    left = swell * (padLeft + centre + 0.6 * hat);
    right = swell * (padRight + centre + hat);
    AdvanceClock();
}
