#pragma once
// The offline analysis program's named values: exit codes, the sample area
// the blocks rotate through, the snapshot file names and the option words.
// Plain constants, any thread.
#include <cstdint>

namespace offline {

constexpr const char* kProgramName = "lumetra-analyze";

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1; // a file could not be read, or the report not written
constexpr int kExitUsage = 2;      // a bad option, or a file list that cannot be read
constexpr int kExitCheckFailed = 3; // a file failed its delivery check (1 outranks it)

// Blocks rotate through a sample area of 32 buffers, as the capture ring's
// do, so the hub assembles its windows exactly as it does live (buffer 31
// and buffer 0 through its seam copy).
constexpr int kBlockFrames = 512;
constexpr int kBlockSamples = 2 * kBlockFrames;
constexpr int kBlockBytes = kBlockSamples * 2;
constexpr int kRingBuffers = 32;
constexpr int kSampleAreaBytes = kRingBuffers * kBlockBytes; // 64 KiB
// The file is read half an area at a time (fewer calls into the reader).
constexpr int kBlocksPerRead = kRingBuffers / 2;

// Packets are applied every 128 blocks, well before the hub's 256-packet
// ring could fill: the models take them in block order either way (the
// PPM's ticks reach the analyzer's model at once), and the hub wakes the
// applying side once per batch instead of once per block. With a timeline
// they are applied after every block, so each window gets its entry at its
// own time.
constexpr int kBlocksPerDrain = 128;
constexpr int kBlocksPerDrainWithTimeline = 1;

// Peak mode codes as the views store them.
constexpr int kPeakNone = 0;
constexpr int kPeakHold = 1;
constexpr int kPeakDecay = 2;

// Applies a stored peak mode code as the views do: decay first, then hold.
template <class Meter>
void ApplyPeakMode(Meter& meter, int code)
{
    meter.SetPeakDecay(code == kPeakDecay);
    meter.SetPeakHold(code == kPeakHold);
}

// The rates whose frequency labels the analyzer knows.
constexpr int kRate44100 = 44100;
constexpr int kRate48000 = 48000;

// Snapshot files.
constexpr const char* kPpmSnapshot = "ppm.png";
constexpr const char* kAnalyzerSnapshot = "analyzer.png";
constexpr const char* kCorrelationSnapshot = "correlation.png";
constexpr const char* kStereoSnapshot = "stereo.png";

} // namespace offline
