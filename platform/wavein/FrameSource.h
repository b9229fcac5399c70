#pragma once
// What a paced stream plays: a generator or a sound file rendering 16-bit
// stereo frames. Render runs on the pacing thread: it must not allocate,
// lock or wait.
#include <cstdint>

class IFrameSource {
public:
    virtual ~IFrameSource() = default;
    // Writes `frames` interleaved stereo frames (left first) into `stereo`.
    virtual void Render(std::int16_t* stereo, int frames) = 0;
};
