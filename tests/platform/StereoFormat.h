#pragma once
// The one format every driver is asked for: 16-bit stereo PCM at `rate`.
#include "platform/wavein/WaveInDefs.h"

inline WAVEFORMATEX StereoFormat(int rate)
{
    const auto r = static_cast<std::uint32_t>(rate);
    return { .nChannels = 2, .nSamplesPerSec = r, .nAvgBytesPerSec = 4 * r, .nBlockAlign = 4, .wBitsPerSample = 16 };
}
