#pragma once
// What the capture thread hands every accepted block to (the sample hub).
#include <cstdint>

class IBlockSink {
public:
    virtual ~IBlockSink() = default;
    // Capture thread only, once per accepted data notice, in order.
    // `block` is one 2048-byte buffer (512 interleaved 16-bit stereo frames,
    // left first) inside the 65536-byte sample area that starts at `sampleArea`.
    virtual void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) = 0;
    // Capture thread: the open device stopped delivering by itself (unplugged,
    // audio server gone). It has been closed; nothing more arrives until the
    // next open. Must not block.
    virtual void OnInputLost() {}
    // Capture thread: the device was opened; the next block starts a new
    // stretch of audio unrelated to any block before it.
    virtual void OnInputOpened() {}
};
