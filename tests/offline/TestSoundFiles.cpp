#include "TestSoundFiles.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>

namespace testfiles {

bool WriteWav(const QString& path, int rate, int channels, const Samples& samples)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    const bool written = sf_writef_short(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

namespace {
std::int16_t SineAt(double hz, int rate, double amplitude, int frame)
{
    return static_cast<std::int16_t>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * frame / rate)));
}
}

Samples StereoSine(double hz, int rate, double amplitude, int frames, int rightSign)
{
    Samples s(static_cast<std::size_t>(2 * frames));
    for (int i = 0; i < frames; ++i) {
        const std::int16_t v = SineAt(hz, rate, amplitude, i);
        s[static_cast<std::size_t>(2 * i)] = v;
        s[static_cast<std::size_t>(2 * i + 1)] = static_cast<std::int16_t>(rightSign * v);
    }
    return s;
}

Samples TwoTones(double leftHz, double rightHz, int rate, double leftAmp, double rightAmp, int frames)
{
    Samples s(static_cast<std::size_t>(2 * frames));
    for (int i = 0; i < frames; ++i) {
        s[static_cast<std::size_t>(2 * i)] = SineAt(leftHz, rate, leftAmp, i);
        s[static_cast<std::size_t>(2 * i + 1)] = SineAt(rightHz, rate, rightAmp, i);
    }
    return s;
}

Samples MonoSine(double hz, int rate, double amplitude, int frames)
{
    Samples s(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        s[static_cast<std::size_t>(i)] = SineAt(hz, rate, amplitude, i);
    return s;
}

Samples Silence(int frames, int channels) { return Samples(static_cast<std::size_t>(frames * channels), 0); }

} // namespace testfiles
