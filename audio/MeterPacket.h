#pragma once
// One captured block's results, handed from the capture thread to the UI
// thread through the packet ring.
#include "audio/MeterSinks.h"
#include "meters/loudness/LoudnessSnapshot.h"

#include <cstdint>

struct CMeterPacket {
    static constexpr int kMaxPairs = 512;

    bool hasPeaks = false;
    std::uint16_t peak[2] = { 0, 0 };

    int nPairs = 0;
    std::int16_t pairs[kMaxPairs][2] = {};

    bool hasCorrelation = false;
    CCorReading correlation;

    bool hasBands = false;
    std::uint32_t bands[kBandCount] = {};

    bool tick = false;

    // The loudness meter's reading after this block.
    bool hasLoudness = false;
    CLoudnessSnapshot loudness;
    // ---- PPM ballistics: readings of the modes that read in dB ----
    bool hasLevels = false;
    float level[2] = { 0, 0 };   // linear, 1.0 = full scale
    float levelSeconds = 0;      // the time the readings cover
    int levelMode = -1;          // the mode they were measured in; -1 any
};
