#pragma once
// One reading of the loudness state, small and plain enough to travel in the
// capture thread's per-block packet (trivially copyable, no pointers).
// Loudness in LUFS (range in LU); peaks as linear full-scale magnitudes
// (1.0 is 0 dBFS), so digital silence is 0 rather than minus infinity.
// A value is meaningful only when its flag is set in `valid`.
// Plain data, any thread.
#include <cstdint>
#include <type_traits>

struct CLoudnessSnapshot {
    static constexpr int kChannels = 2;

    // Flags in `valid`.
    static constexpr std::uint8_t kMomentary = 1u << 0;
    static constexpr std::uint8_t kShortTerm = 1u << 1;
    static constexpr std::uint8_t kIntegrated = 1u << 2;
    static constexpr std::uint8_t kRange = 1u << 3;
    static constexpr std::uint8_t kMaxMomentary = 1u << 4;
    static constexpr std::uint8_t kMaxShortTerm = 1u << 5;

    std::uint8_t valid = 0;
    float momentary = 0.0f;
    float shortTerm = 0.0f;
    float integrated = 0.0f;
    float range = 0.0f;
    float maxMomentary = 0.0f;
    float maxShortTerm = 0.0f;
    // Maxima since the last reset, per channel.
    float truePeak[kChannels] = { 0.0f, 0.0f };
    float samplePeak[kChannels] = { 0.0f, 0.0f };
    // Counts the resets of the measurement, so a reader sees that the
    // accumulated values started again even between two readings.
    std::uint32_t resetCount = 0;
    // The fresh start (the user's reset, switching on) the reading follows;
    // one older than the meter's latest is stale and must not be shown.
    std::uint32_t generation = 0;

    bool Has(std::uint8_t flag) const { return (valid & flag) != 0; }
};

static_assert(std::is_trivially_copyable_v<CLoudnessSnapshot>);
static_assert(std::is_standard_layout_v<CLoudnessSnapshot>);
static_assert(sizeof(CLoudnessSnapshot) <= 64, "the snapshot rides in every packet");
