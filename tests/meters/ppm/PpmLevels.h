#pragma once
// Block peaks (16-bit magnitudes) that fall on telling rows of the level table.
namespace ppmlevel {
constexpr unsigned kFullScale = 32767; // step 360, 0 dB
constexpr unsigned kMinus1Db = 29204;  // step 350
constexpr unsigned kMinus6Db = 16422;  // step 300
// 1 kHz tones at -0.3 and -0.2 dBFS peak at these magnitudes.
constexpr unsigned kMinus03Db = 31656; // step 357
constexpr unsigned kMinus02Db = 32023; // step 358
} // namespace ppmlevel
