#pragma once
// Sound files for the offline tests, written with libsndfile sample for
// sample, and the signals that go into them.
#include <QString>

#include <cstdint>
#include <vector>

namespace testfiles {

// Interleaved 16-bit frames, left first (or one channel for a mono file).
using Samples = std::vector<std::int16_t>;

// Writes a 16-bit PCM WAV file; false when it cannot be written.
bool WriteWav(const QString& path, int rate, int channels, const Samples& samples);

// A stereo sine of `amplitude` on both channels (the right one multiplied
// by `rightSign`, so -1 gives opposite channels).
Samples StereoSine(double hz, int rate, double amplitude, int frames, int rightSign = 1);
// A sine on the left channel and an unrelated one (another frequency) on
// the right.
Samples TwoTones(double leftHz, double rightHz, int rate, double leftAmp, double rightAmp, int frames);
Samples MonoSine(double hz, int rate, double amplitude, int frames);
Samples Silence(int frames, int channels = 2);

} // namespace testfiles
