// The signals the demo devices play (read straight from the generator, no clock involved).
#include "platform/wavein/DemoSignal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<std::int16_t> Render(CDemoSignal::Kind kind, int rate, int frames)
{
    CDemoSignal signal(kind, rate);
    std::vector<std::int16_t> out(static_cast<std::size_t>(2 * frames));
    for (int done = 0; done < frames; done += 512)
        signal.Render(out.data() + 2 * done, std::min(512, frames - done));
    return out;
}

// 48 samples per period at 48 kHz: sample 12 is the crest, 24 the zero
// crossing; at 44.1 kHz ten periods take 441 samples.
TEST(DemoSignal, SineIsOneKilohertzAtMinusSixDecibelsFullScaleAtBothRates)
{
    const auto v = Render(CDemoSignal::Kind::Sine1k, 48000, 4800);
    EXPECT_NEAR(*std::max_element(v.begin(), v.end()), 16384, 1);
    for (const auto& [n, value] : { std::pair { 12, 16384 }, { 24, 0 }, { 36, -16384 } })
        EXPECT_NEAR(v[2 * n], value, 1) << n;
    for (std::size_t i = 0; i < v.size(); i += 2)
        ASSERT_EQ(v[i], v[i + 1]);
    EXPECT_NEAR(Render(CDemoSignal::Kind::Sine1k, 44100, 442)[2 * 441], 0, 1);
}

} // namespace
