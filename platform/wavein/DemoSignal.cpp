#include "platform/wavein/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kFullScale = 32767.0;

std::int16_t ToSample(double value)
{
    return static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
}
}

CDemoSignal::CDemoSignal(Kind kind, int sampleRate)
    : m_kind(kind)
    , m_fRate(sampleRate)
    , m_mix(sampleRate)
    , m_pinkLeft(0x2545f491u)
    , m_pinkRight(0x6c8e9cf5u)
{
}

const char* CDemoSignal::DeviceName(Kind kind)
{
    switch (kind) {
    case Kind::MusicMix: return "Demo: Music mix";
    case Kind::Sine1k: return "Demo: 1 kHz sine -6 dBFS";
    case Kind::PinkNoise: return "Demo: Pink noise";
    case Kind::LeftOnly: return "Demo: Left channel only";
    case Kind::AntiPhase: return "Demo: Anti-phase";
    }
    return "Demo";
}

void CDemoSignal::RenderFrame(double& left, double& right)
{
    switch (m_kind) {
    case Kind::Sine1k: {
        left = right = kSineAmplitude * std::sin(2.0 * std::numbers::pi * m_fSinePhase);
        m_fSinePhase += kSineHz / m_fRate;
        if (m_fSinePhase >= 1.0)
            m_fSinePhase -= 1.0;
        return;
    }
    case Kind::PinkNoise:
        left = 0.5 * kFullScale * m_pinkLeft.Next();
        right = 0.5 * kFullScale * m_pinkRight.Next();
        return;
    case Kind::MusicMix:
        m_mix.Next(left, right);
        left *= kFullScale;
        right *= kFullScale;
        return;
    case Kind::LeftOnly:
    case Kind::AntiPhase: {
        double l = 0;
        double r = 0;
        m_mix.Next(l, r);
        const double mono = 0.5 * (l + r) * kFullScale;
        left = mono;
        right = m_kind == Kind::LeftOnly ? 0.0 : -mono;
        return;
    }
    }
    left = right = 0;
}

void CDemoSignal::Render(std::int16_t* stereo, int frames)
{
    for (int i = 0; i < frames; ++i) {
        double left = 0;
        double right = 0;
        RenderFrame(left, right);
        stereo[2 * i] = ToSample(left);
        stereo[2 * i + 1] = ToSample(right);
    }
}
