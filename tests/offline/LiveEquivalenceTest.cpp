// The same blocks through the live path (test driver, capture thread, packet
// ring, controls) and through a file must give the same readings.
#include "OfflineFixture.h"
#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/analyzer/FftCtrl.h"
#include "meters/analyzer/FftFeed.h"
#include "meters/common/MeterSharedState.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/correlation/CorEstimator.h"
#include "meters/ppm/PpmCtrl.h"
#include "meters/stereo/StereoCtrl.h"
#include "offline/InstrumentReadings.h"
#include "offline/OfflineInstruments.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QJsonDocument>
#include <cmath>
#include <numbers>

using namespace testfiles;

namespace {
constexpr int kRate = 44100;
constexpr int kBlockFrames = 512;
// Bins 46 and 140 of the 2048-point transform: whole cycles in every window,
// so the analyzer's bars settle on fixed values.
constexpr double kToneA = 46.0 * kRate / 2048.0;
constexpr double kToneB = 140.0 * kRate / 2048.0;
constexpr int kFirstBlocks = 60;   // closely related channels (small angles)
constexpr int kSecondBlocks = 420; // mostly opposite channels, long enough for every bar to settle

double Sine(double hz, int frame) { return std::sin(2.0 * std::numbers::pi * hz * frame / kRate); }
std::int16_t Sample(double v) { return static_cast<std::int16_t>(std::lround(v)); }

Samples Programme()
{
    Samples s;
    for (int i = 0; i < (kFirstBlocks + kSecondBlocks) * kBlockFrames; ++i) {
        const double a = Sine(kToneA, i);
        const double b = Sine(kToneB, i);
        const bool first = i < kFirstBlocks * kBlockFrames;
        s.insert(s.end(), { Sample((first ? 32000 : 12000) * a), Sample(first ? 24000 * a + 8000 * b : -7200 * a + 6000 * b) });
    }
    return s;
}

class LiveEquivalenceTest : public OfflineFixture {
protected:
    LiveEquivalenceTest() : doc(capture)
    {
        driver.AddDevice("Line In");
        capture.CreateThread();
        capture.Device().EnumerateDevices();
        capture.Device().SetSampleRate(kRate);
    }

    // Block by block, the packets applied and the relayed ticks delivered as
    // the woken UI thread does, the displays wired as the live views wire them.
    QJsonObject RunLive(const Samples& samples, COfflineInstruments& instruments)
    {
        CCorEstimator estimator;
        CFftFeed feed(instruments.Fft().CaptureState());
        CMeterSharedState shared;
        estimator.SetSmoothingState(&shared.corState);
        instruments.Ppm().SetTickShare(&shared.ppmTick);
        instruments.Fft().SetTickShare(&shared.fftTick);
        instruments.Fft().SetSampleRate(kRate);
        Wire(&instruments, &estimator, &feed);
        instruments.Ppm().SetRelay(&instruments.Fft());
        EXPECT_EQ(doc.MeterOn(), 1);
        EXPECT_TRUE(capture.WaitForIdle());
        const int blocks = static_cast<int>(samples.size()) / (2 * kBlockFrames);
        for (int b = 0; b < blocks; ++b) {
            EXPECT_TRUE(driver.DeliverBlock(samples.data() + 2 * kBlockFrames * b)) << "block " << b;
            EXPECT_TRUE(capture.WaitForIdle());
            doc.ApplyPackets();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::Timer);
        }
        EXPECT_EQ(doc.DroppedPackets(), 0u);
        EXPECT_EQ(capture.DeliveredBlocks(), static_cast<std::uint64_t>(blocks));
        // Read before capture stops: stopping clears the bars.
        const QJsonObject readings = CInstrumentReadings::Of(
            instruments.Ppm().Model(), instruments.Fft().Model(), instruments.Cor().Model());
        liveStereo = instruments.Stereo().BackBuffer().copy();
        doc.MeterOff(true);
        Wire(nullptr, nullptr, nullptr);
        return readings;
    }

    void Wire(COfflineInstruments* instruments, CCorEstimator* estimator, CFftFeed* feed)
    {
        doc.SetPpm(instruments ? &instruments->Ppm() : nullptr);
        doc.SetCor(instruments ? &instruments->Cor() : nullptr);
        doc.SetFft(instruments ? &instruments->Fft() : nullptr);
        doc.SetStereo(instruments ? &instruments->Stereo() : nullptr);
        doc.SetCorrelationEstimator(estimator);
        doc.SetAnalyzerFeed(feed);
    }

    static QJsonArray Section(const QJsonObject& r, const char* section, const char* key) { return ValueOf(r, section, key).toArray(); }

    QImage liveStereo;
    CNoticeRecorder notices;
    CTestWaveDriver driver; // outlives the capture object
    CAudioCapture capture;
    CVelmoraDoc doc;
};

}

TEST_F(LiveEquivalenceTest, OfflineReadingsMatchTheLiveInstruments)
{
    const Samples programme = Programme();
    CAnalyzeOptions options;
    COfflineInstruments live(options);
    const QJsonObject liveReadings = RunLive(programme, live);

    const QString pictures = PathOf(QStringLiteral("pics"));
    const QJsonObject offline = Analyze(Write(QStringLiteral("programme.wav"), kRate, 2, programme), options, pictures);
    ASSERT_EQ(offline[QLatin1String("blocks")].toInt(), kFirstBlocks + kSecondBlocks);
    EXPECT_TRUE(offline[QLatin1String("notes")].toArray().isEmpty());

    // Telling: near full level, both angle readouts in use, both tones shown.
    EXPECT_GT(Section(offline, "ppm", "max_step")[0].toInt(), 340);
    const QJsonObject cor = offline[QLatin1String("correlation")].toObject();
    EXPECT_LT(cor[QLatin1String("min_angle")].toInt(180), 45);
    EXPECT_GT(cor[QLatin1String("max_angle")].toInt(0), 120);
    EXPECT_GT(Section(offline, "analyzer", "last_levels")[73].toInt(), 200);
    EXPECT_GT(Section(offline, "analyzer", "last_levels")[93].toInt(), 200);

    for (const char* key : { "max_step", "max_db", "readout" })
        EXPECT_EQ(Section(offline, "ppm", key), Section(liveReadings, "ppm", key)) << key;
    for (const char* key : { "peak_levels", "last_levels" }) {
        EXPECT_EQ(Section(offline, "analyzer", key).size(), 128);
        EXPECT_EQ(Section(offline, "analyzer", key), Section(liveReadings, "analyzer", key)) << key;
    }
    // Both runs start their smoothing from a fresh program-wide state.
    const QJsonObject liveCor = liveReadings[QLatin1String("correlation")].toObject();
    for (const char* key : { "min_angle", "max_angle", "last_raw", "last_smoothed" })
        EXPECT_EQ(cor[QLatin1String(key)], liveCor[QLatin1String(key)]) << key;

    // The stereo trace is drawn pair by pair from the same samples.
    const QImage offlineStereo(QDir(pictures).filePath(QStringLiteral("stereo.png")));
    ASSERT_FALSE(offlineStereo.isNull());
    EXPECT_TRUE(offlineStereo.convertToFormat(QImage::Format_RGB32) == liveStereo.convertToFormat(QImage::Format_RGB32));
}
