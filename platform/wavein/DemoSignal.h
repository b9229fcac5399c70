#pragma once
// The signal of one demo device, rendered as 16-bit stereo frames.
// Render runs on the pacing thread: fixed state, no allocation.
#include "platform/wavein/FrameSource.h"
#include "platform/wavein/MusicMixGenerator.h"
#include "platform/wavein/PinkNoiseGenerator.h"

class CDemoSignal : public IFrameSource {
public:
    enum class Kind {
        MusicMix, // a moving stereo mix
        Sine1k, // 1 kHz at -6 dBFS on both channels
        PinkNoise, // independent pink noise on each channel
        LeftOnly, // the mix, summed to mono, on the left channel only
        AntiPhase, // the mono mix on the left, inverted on the right
    };
    static constexpr int kKinds = 5;
    static constexpr double kSineHz = 1000.0;
    // -6 dBFS: half of full scale.
    static constexpr double kSineAmplitude = 16384.0;

    CDemoSignal(Kind kind, int sampleRate);
    void Render(std::int16_t* stereo, int frames) override;

    // "Demo: ..." device names, in Kind order.
    static const char* DeviceName(Kind kind);

private:
    void RenderFrame(double& left, double& right);

    const Kind m_kind;
    const double m_fRate;
    double m_fSinePhase = 0;
    CMusicMixGenerator m_mix;
    CPinkNoiseGenerator m_pinkLeft;
    CPinkNoiseGenerator m_pinkRight;
};
