#pragma once
// The wave-input vocabulary the capture engine speaks: result codes, notice
// ids, buffer header and format, with the names and values of the classic
// wave-input interface so the capture code reads the same on every system.
#include <cstdint>

// Result of a wave-input call. 0 is success; the drivers' own codes (for
// example PortAudio's negative ones) pass through unchanged and have a text
// (waveInGetErrorText).
using MMRESULT = int;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// Notices posted to the capture thread's message queue.
constexpr std::uint32_t MM_WIM_OPEN = 0x3BE;
constexpr std::uint32_t MM_WIM_CLOSE = 0x3BF; // wParam: WIM_CLOSE_LOST when the device went away
constexpr std::uintptr_t WIM_CLOSE_LOST = 1;
constexpr std::uint32_t MM_WIM_DATA = 0x3C0; // lParam: the returned WAVEHDR*

// Device id that selects the default input device.
constexpr int WAVE_MAPPER = -1;

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    std::uint16_t wFormatTag = WAVE_FORMAT_PCM;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};

// Header flags.
constexpr std::uint32_t WHDR_DONE = 0x01;
constexpr std::uint32_t WHDR_PREPARED = 0x02;
constexpr std::uint32_t WHDR_INQUEUE = 0x10;

// One capture buffer. The owner fills lpData/dwBufferLength and queues it;
// the driver writes the samples and dwBytesRecorded, sets WHDR_DONE and
// returns the header in an MM_WIM_DATA notice.
struct WAVEHDR {
    char* lpData = nullptr;
    std::uint32_t dwBufferLength = 0;
    std::uint32_t dwBytesRecorded = 0;
    std::uintptr_t dwUser = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwLoops = 0;
};

// Short names for the drivers' own settings.
namespace WaveIn {
// Frames of one capture block (the capture engine's buffer size).
constexpr int kBlockFrames = 512;
// The two rates the program measures at.
constexpr int kRate44100 = 44100;
constexpr int kRate48000 = 48000;
// Room for more queued buffers than the capture ring ever holds.
constexpr int kMaxQueuedBuffers = 64;
}
