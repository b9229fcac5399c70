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
#include "offline/FirstRunLayout.h"
#include "offline/InstrumentReadings.h"
#include "offline/OfflineInstruments.h"
#include "platform/Notices.h"
#include "platform/wavein/TestWaveDriver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>

namespace {
constexpr int kRate = 44100;
constexpr int kBlockFrames = 512;
constexpr int kFirstBlocks = 60;   // closely related channels (small angles)
constexpr int kSecondBlocks = 420; // mostly opposite channels, long enough for every bar to settle

// Bins 46 and 140 of the 2048-point transform: whole cycles in every window,
// so the analyzer's bars settle on fixed values.
Samples Programme()
{
    Samples s;
    for (int i = 0; i < (kFirstBlocks + kSecondBlocks) * kBlockFrames; ++i) {
        const double toneA = std::sin(2.0 * std::numbers::pi * 46.0 * i / 2048.0);
        const double toneB = std::sin(2.0 * std::numbers::pi * 140.0 * i / 2048.0);
        const bool first = i < kFirstBlocks * kBlockFrames;
        s.push_back(static_cast<std::int16_t>(std::lround((first ? 32000 : 12000) * toneA)));
        s.push_back(static_cast<std::int16_t>(std::lround(first ? 24000 * toneA + 8000 * toneB : -7200 * toneA + 6000 * toneB)));
    }
    return s;
}
}

TEST_F(OfflineFixture, OfflineReadingsMatchTheLiveInstruments)
{
    const Samples programme = Programme();
    CAnalyzeOptions options;
    COfflineInstruments live(options);
    CCorEstimator estimator;
    CFftFeed feed(live.Fft().CaptureState());
    CMeterSharedState shared;
    CNoticeRecorder notices;
    CTestWaveDriver driver; // outlives the capture object
    CAudioCapture capture;
    CVelmoraDoc doc(capture);
    driver.AddDevice("Line In");
    capture.CreateThread();
    capture.Device().EnumerateDevices();
    capture.Device().SetSampleRate(kRate);
    // The displays wired as the live views wire them, each sharing a fresh program-wide state.
    estimator.SetSmoothingState(&shared.corState);
    live.Ppm().SetTickShare(&shared.ppmTick);
    live.Fft().SetTickShare(&shared.fftTick);
    live.Fft().SetSampleRate(kRate);
    doc.SetPpm(&live.Ppm());
    doc.SetCor(&live.Cor());
    doc.SetFft(&live.Fft());
    doc.SetStereo(&live.Stereo());
    doc.SetCorrelationEstimator(&estimator);
    doc.SetAnalyzerFeed(&feed);
    live.Ppm().SetRelay(&live.Fft());
    ASSERT_EQ(doc.MeterOn(), 1);
    ASSERT_TRUE(capture.WaitForIdle());
    // Block by block, the packets applied and the relayed ticks delivered as the woken UI thread does.
    for (int b = 0; b < kFirstBlocks + kSecondBlocks; ++b) {
        ASSERT_TRUE(driver.DeliverBlock(programme.data() + 2 * kBlockFrames * b)) << "block " << b;
        ASSERT_TRUE(capture.WaitForIdle());
        doc.ApplyPackets();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::Timer);
    }
    EXPECT_EQ(doc.DroppedPackets(), 0u);
    EXPECT_EQ(capture.DeliveredBlocks(), static_cast<std::uint64_t>(kFirstBlocks + kSecondBlocks));
    // Read before capture stops: stopping clears the bars.
    const QJsonObject liveReadings =
        CInstrumentReadings::Of(live.Ppm().Model(), live.Fft().Model(), live.Cor().Model());
    const QImage liveStereo = live.Stereo().BackBuffer().convertToFormat(QImage::Format_RGB32);
    doc.MeterOff(true);

    const QString pictures = PathOf(QStringLiteral("pics"));
    const QJsonObject offline = Analyze(Write(QStringLiteral("programme.wav"), kRate, 2, programme), options, pictures);
    ASSERT_EQ(offline[QLatin1String("blocks")].toInt(), kFirstBlocks + kSecondBlocks);
    EXPECT_TRUE(offline[QLatin1String("notes")].toArray().isEmpty());
    // Telling: near full level, both angle readouts in use, both tones shown.
    EXPECT_GT(At(offline, "ppm", "max_step", 0), 340);
    EXPECT_LT(ValueOf(offline, "correlation", "min_angle").toInt(180), 45);
    EXPECT_GT(ValueOf(offline, "correlation", "max_angle").toInt(0), 120);
    EXPECT_GT(At(offline, "analyzer", "last_levels", 73), 200);
    EXPECT_GT(At(offline, "analyzer", "last_levels", 93), 200);
    for (const char* section : { "ppm", "analyzer", "correlation" })
        EXPECT_EQ(offline[QLatin1String(section)], liveReadings[QLatin1String(section)]) << section;
    // The stereo trace is drawn pair by pair from the same samples.
    const QImage offlineStereo(QDir(pictures).filePath(QStringLiteral("stereo.png")));
    EXPECT_TRUE(offlineStereo.convertToFormat(QImage::Format_RGB32) == liveStereo);
}

// On a first run the stereo meter is the largest square centred in the
// client of its 200 x 180 frame; the other controls fill their views.
TEST(FirstRunLayout, TheStereoMeterIsTheLargestCentredSquareAndTheOthersFillTheirViews)
{
    const QSize client = CFirstRunLayout::ViewClientOf(QSize(200, 180));
    const CRect stereo = CFirstRunLayout::StereoRect();
    EXPECT_EQ(QSize(stereo.Width(), stereo.Height()), QSize(client.height(), client.height()));
    EXPECT_NEAR(stereo.left + stereo.right, client.width(), 1);
    EXPECT_EQ(stereo.top + stereo.bottom, client.height());
    for (const CRect& rect : { CFirstRunLayout::PpmRect(), CFirstRunLayout::CorRect(), CFirstRunLayout::FftRect() })
        EXPECT_EQ(QPoint(rect.left, rect.top), QPoint(0, 0));
}
