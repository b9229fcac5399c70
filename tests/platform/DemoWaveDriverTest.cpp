// The demo devices: their names, the rates they offer, and the signals
// they play (read straight from the generator, no clock involved).
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/DemoSignal.h"
#include "platform/wavein/DemoWaveDriver.h"

#include <gtest/gtest.h>

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

TEST(DemoWaveDriver, ListsFiveDevicesNamedDemo)
{
    CDemoWaveDriver driver;
    ASSERT_EQ(driver.DeviceCount(), 5);
    EXPECT_EQ(driver.DeviceName(0), "Demo: Music mix");
    EXPECT_EQ(driver.DeviceName(1), "Demo: 1 kHz sine -6 dBFS");
    EXPECT_EQ(driver.DeviceName(2), "Demo: Pink noise");
    EXPECT_EQ(driver.DeviceName(3), "Demo: Left channel only");
    EXPECT_EQ(driver.DeviceName(4), "Demo: Anti-phase");
}

TEST(DemoWaveDriver, OffersBothMeasuringRatesAndRefusesOthers)
{
    CDemoWaveDriver driver;
    CThreadMessageQueue notify(64);
    WAVEFORMATEX format;
    format.nChannels = 2;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    for (int rate : { 44100, 48000 }) {
        format.nSamplesPerSec = static_cast<std::uint32_t>(rate);
        std::unique_ptr<IWaveInStream> stream;
        EXPECT_EQ(driver.Open(0, format, notify, stream), MMSYSERR_NOERROR) << rate;
        EXPECT_NE(stream, nullptr);
    }
    format.nSamplesPerSec = 22050;
    std::unique_ptr<IWaveInStream> stream;
    EXPECT_EQ(driver.Open(0, format, notify, stream), WAVERR_BADFORMAT);
    EXPECT_EQ(driver.Open(5, format, notify, stream), MMSYSERR_BADDEVICEID);
}

TEST(DemoSignal, SineIsOneKilohertzAtMinusSixDecibelsFullScale)
{
    const auto v = Render(CDemoSignal::Kind::Sine1k, 48000, 4800);
    // -6.02 dBFS: half of full scale.
    EXPECT_NEAR(Peak(v, 0), 16384, 1);
    // 48 samples per period at 48 kHz: sample 12 is the crest, 24 the zero crossing.
    EXPECT_NEAR(v[2 * 12], 16384, 1);
    EXPECT_NEAR(v[2 * 24], 0, 1);
    EXPECT_NEAR(v[2 * 36], -16384, 1);
    for (std::size_t i = 0; i < v.size(); i += 2)
        ASSERT_EQ(v[i], v[i + 1]);
}

TEST(DemoSignal, SineAt44100HasItsCrestEvery44AndAHalfSamples)
{
    const auto v = Render(CDemoSignal::Kind::Sine1k, 44100, 441);
    // After 441 samples (ten periods) the phase is back at zero.
    CDemoSignal signal(CDemoSignal::Kind::Sine1k, 44100);
    std::vector<std::int16_t> next(2);
    std::vector<std::int16_t> skip(2 * 441);
    signal.Render(skip.data(), 441);
    signal.Render(next.data(), 1);
    EXPECT_NEAR(next[0], 0, 1);
    EXPECT_NEAR(v[2 * 11], std::lround(16384 * std::sin(2 * std::numbers::pi * 11 / 44.1)), 1);
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

TEST(DemoSignal, MusicMixMovesBetweenTheChannelsWithoutClipping)
{
    // Twenty seconds: long enough for the pan sweep to lean both ways.
    const auto v = Render(CDemoSignal::Kind::MusicMix, 44100, 20 * 44100);
    EXPECT_LT(Peak(v, 0), 32767);
    EXPECT_LT(Peak(v, 1), 32767);
    EXPECT_GT(Peak(v, 0), 8000);
    // Not a mono signal: the channels differ often.
    int differing = 0;
    for (std::size_t i = 0; i < v.size(); i += 2)
        differing += v[i] != v[i + 1] ? 1 : 0;
    EXPECT_GT(differing, static_cast<int>(v.size() / 4));
    // Dynamics: the loudest second is clearly louder than the quietest.
    double minRms = 1e9;
    double maxRms = 0;
    for (int s = 0; s < 20; ++s) {
        double sum = 0;
        for (int i = 0; i < 44100; ++i) {
            const double x = v[static_cast<std::size_t>(2 * (s * 44100 + i))];
            sum += x * x;
        }
        const double rms = std::sqrt(sum / 44100);
        minRms = std::min(minRms, rms);
        maxRms = std::max(maxRms, rms);
    }
    EXPECT_GT(maxRms / minRms, 1.3);
}

TEST(DemoSignal, PinkNoiseChannelsAreUncorrelatedAndFallTowardsTheTreble)
{
    const auto v = Render(CDemoSignal::Kind::PinkNoise, 48000, 96000);
    double lr = 0;
    double ll = 0;
    double rr = 0;
    // Energy of the signal and of its first difference: white noise has a
    // difference energy twice its own, pink far less.
    double diff = 0;
    for (std::size_t i = 0; i < v.size(); i += 2) {
        const double l = v[i];
        const double r = v[i + 1];
        lr += l * r;
        ll += l * l;
        rr += r * r;
        if (i >= 2) {
            const double d = l - v[i - 2];
            diff += d * d;
        }
    }
    EXPECT_LT(std::abs(lr / std::sqrt(ll * rr)), 0.05);
    EXPECT_LT(diff / ll, 0.5);
    EXPECT_GT(std::sqrt(ll / 96000), 1000.0);
}

} // namespace
