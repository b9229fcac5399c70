#pragma once
// Pink noise (-3 dB per octave) from white noise through a bank of one-pole
// filters; a fixed seed makes the sequence repeatable. Plain arithmetic,
// no allocation: safe on a pacing thread.
#include <cstdint>

class CPinkNoiseGenerator {
public:
    explicit CPinkNoiseGenerator(std::uint32_t seed = 0x12345678u) : m_nState(seed ? seed : 1u) {}

    // Uniform white noise in -1..1.
    double White();
    // The next pink sample, roughly within -1..1 (RMS about 0.2).
    double Next();

private:
    std::uint32_t m_nState;
    double m_b[7] = {};
};
