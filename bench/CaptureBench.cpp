// The capture path's cost with every instrument on.
//
// CaptureBlock: the capture thread's work for one 512-frame block, as the
// hub's ProcessBlock does it: peaks, 512 stereo pairs, and every second
// block the window's correlation sums and the analyzer's mix, window,
// transform and band mapping, and the hand-over of the block to the
// loudness thread with the newest reading taken back (budget for all five:
// 15 us). The loudness thread measures meanwhile on the other core; it is
// given time to catch up while the timing pauses, so no block is dropped.
// A block lasts 10.667 ms at 48 kHz; the
// "rt_factor" counter is that time over the time per block (budget:
// 10 us per block, at least 1000x real time). Its argument is the PPM's
// ballistics mode: 0 block peaks, 1 true peak (the costliest: 4x
// oversampling), 4 a quasi-peak mode; the budget with true peak is 12 us.
//
// LoudnessThreadBlock: the loudness thread's time per block (filters,
// gating, true peak and publishing the reading): batches of blocks handed
// over at once, timed from the first hand-over until the thread has
// measured the last, over the batch size. Budget: well below a block's
// 10.667 ms, so the thread keeps up on a busy machine.
//
// ApplyOneSecond: the UI thread's cost of applying one second of packets
// at 48 kHz (94 blocks) to the real controls, relayed analyzer ticks
// included (budget: 20 ms).
#include "audio/AudioCapture.h"
#include "audio/LoudnessThread.h"
#include "audio/VelmoraDoc.h"
#include "meters/analyzer/FftCtrl.h"
#include "meters/analyzer/FftFeed.h"
#include "meters/common/MeterSharedState.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/correlation/CorEstimator.h"
#include "meters/loudness/LoudnessFeed.h"
#include "meters/ppm/PpmCtrl.h"
#include "meters/stereo/StereoCtrl.h"
#include "offline/AnalyzeOptions.h"
#include "offline/OfflineInstruments.h"
#include "platform/wavein/MusicMixGenerator.h"

#include "bench/BenchApplication.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
constexpr int kBlockFrames = 512;
constexpr int kBlockSamples = 2 * kBlockFrames;
constexpr int kRingBuffers = 32;
constexpr int kRate = 48000;
constexpr double kBlockSeconds = static_cast<double>(kBlockFrames) / kRate;
constexpr int kBlocksPerSecond = 94; // 48000 / 512, rounded up
// The hub's packet ring holds 256 packets: drain well before it fills.
constexpr int kDrainEvery = 128;
// Blocks handed to the loudness thread at once: well within its ring.
constexpr int kLoudnessBatch = 128;
constexpr std::chrono::seconds kCatchUpLimit { 10 };

// A 64 KiB sample area of music-like stereo, as the capture ring holds it.
std::vector<std::int16_t> MusicArea()
{
    CMusicMixGenerator music(kRate);
    std::vector<std::int16_t> area(static_cast<std::size_t>(kRingBuffers * kBlockSamples));
    for (std::size_t i = 0; i < area.size(); i += 2) {
        double left = 0.0;
        double right = 0.0;
        music.Next(left, right);
        area[i] = static_cast<std::int16_t>(left * 24000.0);
        area[i + 1] = static_cast<std::int16_t>(right * 24000.0);
    }
    return area;
}

// The hub with every instrument on, wired to the display controls as the
// live program's views wire them.
struct AllInstruments {
    AllInstruments()
        : instruments((EnsureBenchApplication(), CAnalyzeOptions()))
        , feed(instruments.Fft().CaptureState())
        , doc(capture)
        , area(MusicArea())
    {
        instruments.Fft().SetSampleRate(kRate);
        capture.Device().SetSampleRate(kRate);
        estimator.SetSmoothingState(&shared.corState);
        instruments.Ppm().SetTickShare(&shared.ppmTick);
        instruments.Fft().SetTickShare(&shared.fftTick);
        loudness.SetOn(true);
        Attach();
        // The loudness thread runs as long as the hub; the device "opens" once.
        doc.SetLoudnessFeed(&loudness);
        doc.OnInputOpened();
    }
    ~AllInstruments()
    {
        Detach();
        doc.SetLoudnessFeed(nullptr);
    }

    void Attach()
    {
        doc.SetPpm(&instruments.Ppm());
        doc.SetCor(&instruments.Cor());
        doc.SetCorrelationEstimator(&estimator);
        doc.SetFft(&instruments.Fft());
        doc.SetAnalyzerFeed(&feed);
        doc.SetStereo(&instruments.Stereo());
        instruments.Ppm().SetRelay(&instruments.Fft());
    }
    void Detach()
    {
        doc.DetachInstruments();
        instruments.Ppm().SetRelay(nullptr);
    }

    void Process(int block)
    {
        const std::int16_t* data = area.data() + (block % kRingBuffers) * kBlockSamples;
        doc.ProcessBlock(reinterpret_cast<const std::uint8_t*>(data), reinterpret_cast<const std::uint8_t*>(area.data()));
    }
    void Discard()
    {
        doc.WaitForLoudness();
        Detach();
        doc.ApplyPackets();
        Attach();
    }
    void Apply()
    {
        doc.ApplyPackets();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::Timer);
    }

    COfflineInstruments instruments;
    CMeterSharedState shared;
    CCorEstimator estimator;
    CFftFeed feed;
    CLoudnessFeed loudness;
    CAudioCapture capture;
    CVelmoraDoc doc;
    std::vector<std::int16_t> area;
};

void CaptureBlock(benchmark::State& state)
{
    AllInstruments all;
    all.instruments.Ppm().SetBallistics(CPpmBallistics::FromSettingsValue(static_cast<int>(state.range(0))));
    all.loudness.SetOn(state.range(1) != 0);
    state.SetLabel(state.range(1) != 0 ? "five instruments" : "four (loudness off)");
    int block = 0;
    for (auto _ : state) {
        all.Process(block++);
        if (block % kDrainEvery == 0) {
            // The packets are taken off the ring unapplied: in the program the
            // displays are drawn on the UI thread, on the other core, and
            // their cost is ApplyOneSecond's, not the capture thread's.
            state.PauseTiming();
            all.Discard();
            state.ResumeTiming();
        }
    }
    all.Apply();
    state.counters["rt_factor"] = benchmark::Counter(kBlockSeconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["dropped"] = static_cast<double>(all.doc.DroppedPackets());
    state.counters["loudness_dropped"] = static_cast<double>(all.doc.DroppedLoudnessBlocks());
}
// Arguments: the PPM's ballistics (0 Digital Peak, 1 True Peak, 4 BBC) and
// whether the loudness meter is on.
BENCHMARK(CaptureBlock)->Args({ 0, 1 })->Args({ 1, 1 })->Args({ 4, 1 })->Args({ 0, 0 })->Unit(benchmark::kMicrosecond);

void LoudnessThreadBlock(benchmark::State& state)
{
    const std::vector<std::int16_t> area = MusicArea();
    CLoudnessFeed loudness;
    loudness.SetOn(true);
    CLoudnessThread thread(loudness);
    thread.NoteOpened(kRate);
    thread.WaitUntilMeasured(kCatchUpLimit);
    int block = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLoudnessBatch; ++i, ++block)
            thread.HandOver(area.data() + (block % kRingBuffers) * kBlockSamples);
        if (!thread.WaitUntilMeasured(kCatchUpLimit))
            state.SkipWithError("the loudness thread did not catch up");
        const std::chrono::duration<double> batch = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(batch.count() / kLoudnessBatch);
    }
    state.counters["dropped"] = static_cast<double>(thread.Dropped());
}
BENCHMARK(LoudnessThreadBlock)->UseManualTime()->Unit(benchmark::kMicrosecond);

void ApplyOneSecond(benchmark::State& state)
{
    AllInstruments all;
    int block = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kBlocksPerSecond; ++i)
            all.Process(block++);
        state.ResumeTiming();
        all.Apply();
    }
    state.counters["dropped"] = static_cast<double>(all.doc.DroppedPackets());
}
BENCHMARK(ApplyOneSecond)->Unit(benchmark::kMillisecond);
}

