// The offline program measures exactly what the live program shows: the
// same blocks go once through the live path (the scriptable test driver,
// the capture thread, the hub's packet ring, the controls) and once through
// the offline path (a file, unpaced), and the readings must agree.
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
// Bins 46 and 140 of the 2048-point transform (about 990 Hz and 3015 Hz):
// whole cycles in every 1024-frame window, so every window is alike and
// the analyzer's bars settle on fixed values.
constexpr double kToneA = 46.0 * kRate / 2048.0;
constexpr double kToneB = 140.0 * kRate / 2048.0;
constexpr int kFirstBlocks = 60;   // closely related channels (small angles)
constexpr int kSecondBlocks = 420; // mostly opposite channels, long enough for every bar to settle

double Sine(double hz, int frame) { return std::sin(2.0 * std::numbers::pi * hz * frame / kRate); }

std::int16_t Sample(double v) { return static_cast<std::int16_t>(std::lround(v)); }

Samples Programme()
{
    Samples s;
    const int total = (kFirstBlocks + kSecondBlocks) * kBlockFrames;
    for (int i = 0; i < total; ++i) {
        const double a = Sine(kToneA, i);
        const double b = Sine(kToneB, i);
        if (i < kFirstBlocks * kBlockFrames) {
            s.push_back(Sample(32000 * a));
            s.push_back(Sample(24000 * a + 8000 * b));
        } else {
            s.push_back(Sample(12000 * a));
            s.push_back(Sample(-7200 * a + 6000 * b));
        }
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

    // The live path: block by block through the capture thread, the packets
    // applied and the relayed ticks delivered as the woken UI thread does.
    QJsonObject RunLive(const Samples& samples, COfflineInstruments& instruments)
    {
        // Wired as the live views wire the displays into the hub.
        CCorEstimator estimator;
        CFftFeed feed(instruments.Fft().CaptureState());
        CMeterSharedState shared;
        estimator.SetSmoothingState(&shared.corState);
        instruments.Ppm().SetTickShare(&shared.ppmTick);
        instruments.Fft().SetTickShare(&shared.fftTick);
        instruments.Fft().SetSampleRate(kRate);
        doc.SetPpm(&instruments.Ppm());
        doc.SetCor(&instruments.Cor());
        doc.SetCorrelationEstimator(&estimator);
        doc.SetFft(&instruments.Fft());
        doc.SetAnalyzerFeed(&feed);
        doc.SetStereo(&instruments.Stereo());
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
        doc.SetPpm(nullptr);
        doc.SetCor(nullptr);
        doc.SetCorrelationEstimator(nullptr);
        doc.SetFft(nullptr);
        doc.SetAnalyzerFeed(nullptr);
        doc.SetStereo(nullptr);
        return readings;
    }

    QImage liveStereo;
    CNoticeRecorder notices;
    CTestWaveDriver driver; // outlives the capture object
    CAudioCapture capture;
    CVelmoraDoc doc;
};

QJsonArray Section(const QJsonObject& r, const char* section, const char* key)
{
    return r[QLatin1String(section)].toObject()[QLatin1String(key)].toArray();
}
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

    // The programme is telling: full-ish level, both angle readouts in use,
    // both tones on the analyzer.
    EXPECT_GT(Section(offline, "ppm", "max_step")[0].toInt(), 340);
    const QJsonObject cor = offline[QLatin1String("correlation")].toObject();
    EXPECT_LT(cor[QLatin1String("min_angle")].toInt(180), 45);
    EXPECT_GT(cor[QLatin1String("max_angle")].toInt(0), 120);
    EXPECT_GT(Section(offline, "analyzer", "last_levels")[73].toInt(), 200);
    EXPECT_GT(Section(offline, "analyzer", "last_levels")[93].toInt(), 200);

    for (const char* key : { "max_step", "max_db", "readout" })
        EXPECT_EQ(Section(offline, "ppm", key), Section(liveReadings, "ppm", key)) << key;
    for (const char* key : { "peak_levels", "last_levels" }) {
        const QJsonArray off = Section(offline, "analyzer", key);
        const QJsonArray on = Section(liveReadings, "analyzer", key);
        ASSERT_EQ(off.size(), 128);
        ASSERT_EQ(on.size(), 128);
        for (int bar = 0; bar < 128; ++bar)
            EXPECT_EQ(off[bar].toInt(), on[bar].toInt()) << key << " bar " << bar;
    }
    const QJsonObject liveCor = liveReadings[QLatin1String("correlation")].toObject();
    EXPECT_EQ(cor[QLatin1String("min_angle")], liveCor[QLatin1String("min_angle")]);
    EXPECT_EQ(cor[QLatin1String("max_angle")], liveCor[QLatin1String("max_angle")]);
    EXPECT_EQ(cor[QLatin1String("last_raw")].toDouble(), liveCor[QLatin1String("last_raw")].toDouble());
    // Both runs start their smoothing from a fresh program-wide state.
    EXPECT_EQ(cor[QLatin1String("last_smoothed")].toDouble(), liveCor[QLatin1String("last_smoothed")].toDouble());

    // The stereo trace is drawn pair by pair from the same samples: the
    // pictures are identical.
    const QImage offlineStereo(QDir(pictures).filePath(QStringLiteral("stereo.png")));
    ASSERT_EQ(offlineStereo.size(), liveStereo.size());
    int differing = 0;
    for (int y = 0; y < liveStereo.height(); ++y) {
        for (int x = 0; x < liveStereo.width(); ++x)
            differing += (offlineStereo.pixel(x, y) & 0xFFFFFF) != (liveStereo.pixel(x, y) & 0xFFFFFF);
    }
    EXPECT_EQ(differing, 0);
}
