// The demo devices: their names, the rates they offer, and the signals they
// play (read straight from the generator, no clock involved).
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/DemoSignal.h"
#include "platform/wavein/DemoWaveDriver.h"
#include "tests/platform/StereoFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
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

int Peak(const std::vector<std::int16_t>& v, int channel)
{
    int peak = 0;
    for (std::size_t i = static_cast<std::size_t>(channel); i < v.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<int>(v[i])));
    return peak;
}

TEST(DemoWaveDriver, ListsFiveDemoDevicesAtBothMeasuringRatesOnly)
{
    CDemoWaveDriver driver;
    const std::vector<std::string> names { "Demo: Music mix", "Demo: 1 kHz sine -6 dBFS", "Demo: Pink noise",
                                           "Demo: Left channel only", "Demo: Anti-phase" };
    ASSERT_EQ(driver.DeviceCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(driver.DeviceName(i), names[static_cast<std::size_t>(i)]);
    CThreadMessageQueue notify(64);
    for (const int rate : { 44100, 48000, 22050 }) {
        std::unique_ptr<IWaveInStream> stream;
        EXPECT_EQ(driver.Open(4, StereoFormat(rate), notify, stream), rate == 22050 ? WAVERR_BADFORMAT : MMSYSERR_NOERROR) << rate;
        EXPECT_EQ(stream != nullptr, rate != 22050);
    }
    std::unique_ptr<IWaveInStream> stream;
    EXPECT_EQ(driver.Open(5, StereoFormat(44100), notify, stream), MMSYSERR_BADDEVICEID);
}

TEST(DemoSignal, SineIsOneKilohertzAtMinusSixDecibelsFullScaleAtBothRates)
{
    // 48 samples per period at 48 kHz: sample 12 is the crest, 24 the zero crossing.
    const auto v = Render(CDemoSignal::Kind::Sine1k, 48000, 4800);
    EXPECT_NEAR(Peak(v, 0), 16384, 1);
    EXPECT_NEAR(v[2 * 12], 16384, 1);
    EXPECT_NEAR(v[2 * 24], 0, 1);
    EXPECT_NEAR(v[2 * 36], -16384, 1);
    for (std::size_t i = 0; i < v.size(); i += 2)
        ASSERT_EQ(v[i], v[i + 1]);
    // At 44.1 kHz ten periods take 441 samples: sample 441 is a zero crossing again.
    const auto w = Render(CDemoSignal::Kind::Sine1k, 44100, 442);
    EXPECT_NEAR(w[2 * 11], std::lround(16384 * std::sin(2 * std::numbers::pi * 11 / 44.1)), 1);
    EXPECT_NEAR(w[2 * 441], 0, 1);
}

TEST(DemoSignal, LeftOnlyIsSilentOnTheRightAndAntiPhaseIsInverted)
{
    const auto left = Render(CDemoSignal::Kind::LeftOnly, 44100, 44100);
    EXPECT_EQ(Peak(left, 1), 0);
    EXPECT_GT(Peak(left, 0), 3000);
    const auto anti = Render(CDemoSignal::Kind::AntiPhase, 44100, 44100);
    EXPECT_GT(Peak(anti, 0), 3000);
    for (std::size_t i = 0; i < anti.size(); i += 2)
        ASSERT_EQ(anti[i + 1], anti[i] == -32768 ? 32767 : -anti[i]) << "frame " << i / 2;
}

// Twenty seconds: long enough for the pan sweep to lean both ways and the
// dynamics to show (the loudest second clearly above the quietest).
TEST(DemoSignal, MusicMixMovesBetweenTheChannelsWithoutClipping)
{
    const auto v = Render(CDemoSignal::Kind::MusicMix, 44100, 20 * 44100);
    EXPECT_LT(Peak(v, 0), 32767);
    EXPECT_LT(Peak(v, 1), 32767);
    EXPECT_GT(Peak(v, 0), 8000);
    int differing = 0;
    std::vector<double> energy(20, 0.0);
    for (std::size_t i = 0; i < v.size(); i += 2) {
        differing += v[i] != v[i + 1] ? 1 : 0;
        energy[i / (2 * 44100)] += static_cast<double>(v[i]) * v[i];
    }
    EXPECT_GT(differing, static_cast<int>(v.size() / 4));
    const auto [quietest, loudest] = std::minmax_element(energy.begin(), energy.end());
    EXPECT_GT(std::sqrt(*loudest / *quietest), 1.3);
}

// White noise has a first difference with twice its energy; pink far less.
TEST(DemoSignal, PinkNoiseChannelsAreUncorrelatedAndFallTowardsTheTreble)
{
    const auto v = Render(CDemoSignal::Kind::PinkNoise, 48000, 96000);
    double lr = 0, ll = 0, rr = 0, diff = 0;
    for (std::size_t i = 0; i < v.size(); i += 2) {
        const double l = v[i];
        const double r = v[i + 1];
        lr += l * r;
        ll += l * l;
        rr += r * r;
        if (i >= 2)
            diff += (l - v[i - 2]) * (l - v[i - 2]);
    }
    EXPECT_LT(std::abs(lr / std::sqrt(ll * rr)), 0.05);
    EXPECT_LT(diff / ll, 0.5);
    EXPECT_GT(std::sqrt(ll / 96000), 1000.0);
}

} // namespace
