#include "offline/LoudnessLayout.h"

#include <sndfile.h>

#include <algorithm>

namespace {
// How the loudness sum weighs a channel: as a front (1.0), as a surround
// beside the listener (1.41) or not at all (the LFE).
enum class Weight { Front, Surround, None };

// Weights in the order the model gives its channels for each count.
std::vector<Weight> UsualWeights(int channels)
{
    using W = Weight;
    switch (channels) {
    case 4:
        return { W::Front, W::Front, W::Surround, W::Surround };
    case 5:
        return { W::Front, W::Front, W::Front, W::Surround, W::Surround };
    case 6:
        return { W::Front, W::Front, W::Front, W::None, W::Surround, W::Surround };
    case 8:
        return { W::Front, W::Front, W::Front, W::None, W::Front, W::Front, W::Surround, W::Surround };
    default: {
        std::vector<Weight> weights(static_cast<std::size_t>(channels), W::Front);
        if (channels > 3)
            weights[3] = W::None;
        return weights;
    }
    }
}

// A rear pair is beside the listener in a 5.1 mix (the common 5.1 mask
// names its surrounds "back"), but behind when a side pair exists too.
Weight WeightOf(int role, bool hasSidePair)
{
    switch (role) {
    case SF_CHANNEL_MAP_LFE:
        return Weight::None;
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
        return Weight::Surround;
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_REAR_RIGHT:
        return hasSidePair ? Weight::Front : Weight::Surround;
    default:
        return Weight::Front;
    }
}
}

CLoudnessLayout CLoudnessLayout::For(int channels, const std::vector<int>& channelMap)
{
    CLoudnessLayout layout;
    if (channels <= 2 || static_cast<int>(channelMap.size()) != channels)
        return layout;
    const bool hasSidePair = std::find(channelMap.begin(), channelMap.end(), SF_CHANNEL_MAP_SIDE_LEFT) != channelMap.end();
    std::vector<bool> used(channelMap.size(), false);
    const std::vector<Weight> usual = UsualWeights(channels);
    std::vector<int> source;
    for (const Weight wanted : usual) {
        // The first unused file channel of the weight this slot gives keeps
        // left before right within a class.
        int found = -1;
        for (int ch = 0; ch < channels && found < 0; ++ch) {
            if (!used[static_cast<std::size_t>(ch)] && WeightOf(channelMap[static_cast<std::size_t>(ch)], hasSidePair) == wanted)
                found = ch;
        }
        if (found < 0) {
            layout.m_note = QStringLiteral("the channel mask does not match a %1-channel layout: loudness weighs the "
                                           "channels in the usual order")
                                .arg(channels);
            return layout;
        }
        used[static_cast<std::size_t>(found)] = true;
        source.push_back(found);
    }
    bool identity = true;
    for (int slot = 0; slot < channels; ++slot)
        identity = identity && source[static_cast<std::size_t>(slot)] == slot;
    if (!identity)
        layout.m_source = std::move(source);
    return layout;
}

void CLoudnessLayout::Rearrange(const float* file, float* model, int channels, int frames) const
{
    for (int f = 0; f < frames; ++f) {
        const float* in = file + static_cast<std::ptrdiff_t>(f) * channels;
        float* out = model + static_cast<std::ptrdiff_t>(f) * channels;
        for (int slot = 0; slot < channels; ++slot)
            out[slot] = in[SourceOf(slot)];
    }
}
