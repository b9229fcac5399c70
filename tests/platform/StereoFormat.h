#pragma once
// The one format every driver is asked for: 16-bit stereo PCM at `rate`.
#include "platform/wavein/WaveInDefs.h"

inline WAVEFORMATEX StereoFormat(int rate)
{
    WAVEFORMATEX format;
    format.nChannels = 2;
    format.nSamplesPerSec = static_cast<std::uint32_t>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = static_cast<std::uint32_t>(rate * 4);
    return format;
}
