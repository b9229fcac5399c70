#pragma once
// A music-like stereo mix for the demo device: a four-chord pad of detuned
// partials, a bass line, a kick-like thump on every beat and noise hats on
// the off-beats, with a slow panning sweep and slowly swelling dynamics, so
// every instrument has something to show. Plain arithmetic on fixed state:
// safe on a pacing thread.
#include "platform/wavein/PinkNoiseGenerator.h"

#include <cstdint>

class CMusicMixGenerator {
public:
    explicit CMusicMixGenerator(int sampleRate);

    // The next frame, each channel roughly within -1..1.
    void Next(double& left, double& right);

private:
    static constexpr int kChordNotes = 3;
    static constexpr int kDetuned = 2;

    double Pad(double& left, double& right);
    double Bass();
    double Kick();
    double Hat();
    void AdvanceClock();

    const double m_fRate;
    const long long m_nBeatFrames;
    long long m_nFrame = 0; // frames since the start of the current beat
    long long m_nBeat = 0;
    double m_padPhase[kChordNotes][kDetuned] = {};
    double m_fBassPhase = 0;
    double m_fKickPhase = 0;
    double m_fTime = 0; // seconds, for the slow LFOs
    double m_fHatLast = 0;
    CPinkNoiseGenerator m_noise;
};
