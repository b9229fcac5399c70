// Soak run of the live path: one hour of 48 kHz audio from the demo music
// device, rendered without pacing on a capture thread of its own and fed
// block by block to the hub with every instrument on, while the main thread
// applies the packets to the display controls at display rate as the
// program's UI does. A figure, not a test:
//
//     lumetra-soak [seconds of audio, default 3600] [speed, default 0]
//
// speed 0 renders as fast as the capture side can; speed N holds it to N
// times real time. Prints resident memory at the start and the end (the
// budget: flat within 1 MB), the packets the hub's ring dropped because the
// UI side fell behind, and the blocks processed per second.
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/analyzer/FftCtrl.h"
#include "meters/analyzer/FftFeed.h"
#include "meters/common/MeterSharedState.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/correlation/CorEstimator.h"
#include "meters/ppm/PpmCtrl.h"
#include "meters/stereo/StereoCtrl.h"
#include "offline/AnalyzeOptions.h"
#include "offline/OfflineInstruments.h"
#include "platform/wavein/DemoSignal.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr int kRate = 48000;
constexpr int kBlockFrames = 512;
constexpr int kRingBuffers = 32;
constexpr auto kDisplayPeriod = std::chrono::milliseconds(16);

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The hub wired to the display controls as the program's views wire them.
class CSoakRig {
public:
    CSoakRig()
        : m_instruments(CAnalyzeOptions())
        , m_feed(m_instruments.Fft().CaptureState())
        , m_doc(m_capture)
    {
        m_instruments.Fft().SetSampleRate(kRate);
        m_estimator.SetSmoothingState(&m_shared.corState);
        m_instruments.Ppm().SetTickShare(&m_shared.ppmTick);
        m_instruments.Fft().SetTickShare(&m_shared.fftTick);
        m_doc.SetPpm(&m_instruments.Ppm());
        m_doc.SetCor(&m_instruments.Cor());
        m_doc.SetCorrelationEstimator(&m_estimator);
        m_doc.SetFft(&m_instruments.Fft());
        m_doc.SetAnalyzerFeed(&m_feed);
        m_doc.SetStereo(&m_instruments.Stereo());
        m_instruments.Ppm().SetRelay(&m_instruments.Fft());
    }
    ~CSoakRig()
    {
        m_doc.SetPpm(nullptr);
        m_doc.SetCor(nullptr);
        m_doc.SetCorrelationEstimator(nullptr);
        m_doc.SetFft(nullptr);
        m_doc.SetAnalyzerFeed(nullptr);
        m_doc.SetStereo(nullptr);
        m_instruments.Ppm().SetRelay(nullptr);
    }

    // Capture thread: renders and processes `blocks` blocks, at `speed`
    // times real time (0: unpaced), through a ring of sample buffers as the
    // device's buffers would arrive.
    void Capture(long long blocks, double speed, std::atomic<bool>& done)
    {
        CDemoSignal signal(CDemoSignal::Kind::MusicMix, kRate);
        const auto start = std::chrono::steady_clock::now();
        const double blockSeconds = static_cast<double>(kBlockFrames) / kRate;
        for (long long b = 0; b < blocks; ++b) {
            std::int16_t* block = m_area.data() + (b % kRingBuffers) * 2 * kBlockFrames;
            signal.Render(block, kBlockFrames);
            m_doc.ProcessBlock(reinterpret_cast<const std::uint8_t*>(block),
                               reinterpret_cast<const std::uint8_t*>(m_area.data()));
            if (speed > 0) {
                const auto due = start + std::chrono::duration<double>(static_cast<double>(b + 1) * blockSeconds / speed);
                std::this_thread::sleep_until(std::chrono::time_point_cast<std::chrono::steady_clock::duration>(due));
            }
        }
        done.store(true);
    }

    // UI thread: one display period's work (its posted events and timers
    // are the event loop's, as in the program).
    void Apply() { m_doc.ApplyPackets(); }
    std::uint64_t Dropped() const { return m_doc.DroppedPackets(); }

private:
    COfflineInstruments m_instruments;
    CMeterSharedState m_shared;
    CCorEstimator m_estimator;
    CFftFeed m_feed;
    CAudioCapture m_capture;
    CVelmoraDoc m_doc;
    std::array<std::int16_t, 2 * kBlockFrames * kRingBuffers> m_area {};
};

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3600.0;
    const double speed = argc > 2 ? std::atof(argv[2]) : 0.0;
    const long long blocks = static_cast<long long>(seconds * kRate / kBlockFrames);

    CSoakRig rig;
    // A first display period settles the controls' first paints and caches.
    rig.Apply();
    QCoreApplication::processEvents();
    const long startKiB = ResidentKiB();
    std::atomic<bool> done { false };
    const auto start = std::chrono::steady_clock::now();
    std::thread capture([&] { rig.Capture(blocks, speed, done); });
    long peakKiB = startKiB;
    // The UI thread runs its event loop, applying packets at display rate.
    QTimer display;
    display.setInterval(kDisplayPeriod);
    QObject::connect(&display, &QTimer::timeout, [&] {
        rig.Apply();
        peakKiB = std::max(peakKiB, ResidentKiB());
        if (done.load())
            QCoreApplication::quit();
    });
    display.start();
    QCoreApplication::exec();
    capture.join();
    rig.Apply();
    QCoreApplication::processEvents();
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long endKiB = ResidentKiB();

    std::printf("audio: %.0f s (%lld blocks) in %.1f s, %.0f blocks/s (%.0fx real time)\n", seconds, blocks, elapsed,
                static_cast<double>(blocks) / elapsed, seconds / elapsed);
    std::printf("resident: start %ld KiB, end %ld KiB (%+ld KiB), peak %ld KiB\n", startKiB, endKiB, endKiB - startKiB,
                peakKiB);
    std::printf("packets dropped: %llu\n", static_cast<unsigned long long>(rig.Dropped()));
    const bool flat = endKiB - startKiB <= 1024;
    std::printf("memory %s\n", flat ? "flat (within 1 MB)" : "GREW by more than 1 MB");
    return flat ? 0 : 1;
}
