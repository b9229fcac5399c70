#include "meters/analyzer/FftView.h"

#include "platform/SettingsStore.h"
#include "tests/common/FakeMeterSinks.h"
#include "tests/common/ViewTestBench.h"
#include "workspace/Wsp.h"

#include "FftSignals.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QString kFft = QStringLiteral("FFT");

// The PPM as far as the analyzer sees it: the relay target.
struct CRelayPpm : CFakePpm {
    void SetRelay(QWidget* target) override { relay = target; }
    QPointer<QWidget> relay;
};

class FftViewTest : public CViewTestBench {
protected:
    FftViewTest() { CFftView::ResetClassState(); }
    ~FftViewTest() override
    {
        // The views and sinks of a test are gone by now.
        doc.SetFft(nullptr);
        doc.SetAnalyzerFeed(nullptr);
        doc.SetPpm(nullptr);
        if (doc.MeterCount() > 0)
            doc.MeterOff(true);
    }

    static void Store(const char* entry, int value) { CSettingsStore::WriteInt(kFft, QString::fromLatin1(entry), value); }
    std::unique_ptr<CFftView> MakeView(CFakeViewFrame& viewFrame) { return CreateView<CFftView>(502, 302, viewFrame); }
    std::unique_ptr<CFftView> MakeView() { return MakeView(frame); }
    static void ExpectOptions(const CFftCtrl& c, int peak, int decay, int input, int window)
    {
        EXPECT_EQ(c.GetPeakMode(), peak);
        EXPECT_EQ(c.DecayTime(), decay);
        EXPECT_EQ(c.InputMode(), input);
        EXPECT_EQ(c.WindowType(), window);
        EXPECT_EQ(c.CaptureState().WindowType(), window);
    }

    // Blocks of 512 frames one at a time through the capture thread and the hub's packet
    // ring, as a paced device delivers them and the UI thread applies them.
    void Deliver(const std::vector<std::int16_t>& signal, int firstBlock, int blocks)
    {
        for (int b = firstBlock; b < firstBlock + blocks; ++b) {
            ASSERT_TRUE(driver.DeliverBlock(signal.data() + 2 * 512 * b));
            ASSERT_TRUE(capture.WaitForIdle());
            doc.ApplyPackets();
        }
    }
};
}

TEST_F(FftViewTest, StoredOptionsAreAppliedOddCodesReadAsDefaults)
{
    const struct { int peak, decay, input, window, peakMode, decayTime, inputMode, windowType; } rows[] = { { 1, 2, 3, 5, 1, 30, 3, 5 }, { 0, 0, 2, 0, 0, 10, 2, 0 }, { 5, -1, 4, 7, 2, 20, 0, 3 } };
    for (const auto& r : rows) {
        for (const auto& [entry, value] : { std::pair { "Peak", r.peak }, { "Decay", r.decay }, { "Input", r.input },
                 { "Windowing", r.window }, { "NormColor", 0x010203 }, { "OverPoint", 300 } })
            Store(entry, value);
        CFakeViewFrame viewFrame;
        SCOPED_TRACE(r.peak);
        auto view = MakeView(viewFrame);
        const CFftCtrl& c = *view->Ctrl();
        ExpectOptions(c, r.peakMode, r.decayTime, r.inputMode, r.windowType);
        EXPECT_EQ(c.Params().m_crNorm, 0x010203u);
        EXPECT_EQ(c.Params().m_nOverPoint, 300u);
        doc.SetFft(nullptr);
        doc.SetAnalyzerFeed(nullptr);
    }
}

TEST_F(FftViewTest, FirstRunComesUpOffWithTheDefaultsRelaysThePpmTickAndWithoutATransformPlanRefusesToRun)
{
    CRelayPpm ppm;
    doc.SetPpm(&ppm);
    auto view = MakeView();
    EXPECT_EQ(doc.Fft(), view->Ctrl());
    EXPECT_EQ(ppm.relay.data(), view->Ctrl());
    const FftBarParams& p = view->Ctrl()->Params();
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_EQ(std::tuple(p.m_crNorm, p.m_crTween, p.m_nTweenPoint, p.m_nOverPoint),
        std::tuple(RGB(0, 192, 192), RGB(255, 255, 0), 260u, 310u));
    EXPECT_EQ(view->MinTrackSize(), QSize(464, 216 - 17));
    EXPECT_EQ(view->EraseColor(), RGB(96, 96, 96));
    std::array<fftw_real, 4> none {};
    std::array<std::uint32_t, 4> bands {};
    view->Feed().Engine().Init(4, none.data(), none.data(), bands.data());
    view->OnCommand(32781);
    EXPECT_EQ(view->Ctrl()->IsOn(), 0);
    EXPECT_EQ(driver.OpenCount(), 0);
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(notices.Notices()[0].caption, QStringLiteral("Spectrum Analyzer"));
    EXPECT_EQ(notices.Notices()[0].icon, NoticeIcon::Error);
}

TEST_F(FftViewTest, SwitchingOffWhileAnotherMeterRunsLetsTheBarsFall)
{
    auto view = MakeView();
    doc.CountRestoredMeter(); // another instrument keeps capture going
    EXPECT_TRUE(view->Ctrl()->OnCommand(fft::ID_FFT_ON));
    ASSERT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_FALSE(view->Ctrl()->OnCommand(475));
    view->Ctrl()->SetValue(20000, -1);
    const unsigned level = view->Ctrl()->Bar(50).Level();
    view->OnCommand(32781);
    EXPECT_EQ(doc.MeterCount(), 1);
    EXPECT_EQ(view->Ctrl()->Bar(50).Level(), level); // not cleared...
    EXPECT_EQ(view->Ctrl()->Bar(50).DecayStep(), 2); // ...but falling
}

TEST_F(FftViewTest, DestroyWritesEveryOption)
{
    {
        auto view = MakeView();
        view->OnCommand(32781);
        view->OnCommand(fft::ID_FFT_PEAK_HOLD); // not a view command
        view->Ctrl()->OnCommand(fft::ID_FFT_PEAK_HOLD);
        view->Ctrl()->OnCommand(fft::ID_FFT_DECAY_FAST);
        view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + 2);
        view->Ctrl()->OnCommand(fft::ID_FFT_WINDOW_FIRST + 6);
        view->Ctrl()->SetColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
        view->Ctrl()->SetPoints(150, 250);
        view->OnDestroy();
    }
    const std::pair<const char*, int> entries[] = { { "Peak", 1 }, { "Decay", 0 }, { "Input", 2 },
        { "Windowing", 6 }, { "NormColor", 0x010101 }, { "TweenColor", 0x020202 }, { "OverColor", 0x030303 }, { "TweenPoint", 150 }, { "OverPoint", 250 } };
    for (const auto& [entry, value] : entries)
        EXPECT_EQ(CSettingsStore::GetInt(kFft, QString::fromLatin1(entry), -1), value) << entry;
}

TEST_F(FftViewTest, WorkspaceRoundTripOfEveryOption)
{
    auto view = MakeView();
    view->OnCommand(32781);
    CFftCtrl& c = *view->Ctrl();
    c.OnCommand(fft::ID_FFT_PEAK_DECAY); // none
    c.OnCommand(fft::ID_FFT_DECAY_SLOW);
    c.OnCommand(fft::ID_FFT_INPUT_FIRST + 1);
    c.OnCommand(fft::ID_FFT_WINDOW_FIRST + 4);

    CWsp stored;
    view->OnUpdate(HINT_STORE, &stored);
    EXPECT_EQ(stored.m_winSets.at(0).m_nParam, (std::array<std::int32_t, 10> { 0, 1, 0, 2, 1, 4, 0, 0, 0, 0 }));

    view->OnCommand(32781);
    c.OnCommand(fft::ID_FFT_PEAK_HOLD);
    c.OnCommand(fft::ID_FFT_DECAY_FAST);
    c.OnCommand(fft::ID_FFT_INPUT_FIRST);
    c.OnCommand(fft::ID_FFT_WINDOW_FIRST);
    ASSERT_FALSE(driver.IsOpen());

    view->OnUpdate(HINT_RESTORE, &stored);
    EXPECT_EQ(c.IsOn(), 1);
    EXPECT_TRUE(driver.IsOpen());
    ExpectOptions(c, 0, 30, 1, 4);
}

// Any nonzero on value is on and counted once; a recall while capture runs opens nothing anew.
TEST_F(FftViewTest, RecalledOddValuesNeverUpsetTheHubOrTheOptions)
{
    auto view = MakeView();
    ASSERT_EQ(doc.MeterOn(), 1); // capture open for another meter
    const int opens = driver.OpenCount();
    CWinSet record;
    record.m_nType = 132;
    record.m_nParam = { 0, 2, 9, 9, 6, -3, 0, 0, 0, 0 };
    CWsp workspace;
    workspace.AddWinSet(record);
    view->OnUpdate(HINT_RESTORE, &workspace);
    EXPECT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_EQ(doc.MeterCount(), 2);
    view->OnUpdate(HINT_RESTORE, &workspace);
    EXPECT_EQ(doc.MeterCount(), 2);
    EXPECT_EQ(driver.OpenCount(), opens);
    ExpectOptions(*view->Ctrl(), 2, 20, 0, 3);
}

TEST_F(FftViewTest, SampleRateReachesTheControlFromTheShellAndTheHub)
{
    auto view = MakeView();
    view->SetSampleRate(48000);
    EXPECT_EQ(view->Ctrl()->SampleRate(), 48000);
    view->SetSampleRate(44100);
    // The device refuses 44100: the open falls back to 48000 and the hub says so.
    driver.RefuseRate(44100);
    view->OnCommand(32781);
    ASSERT_EQ(view->Ctrl()->IsOn(), 1);
    EXPECT_EQ(view->Ctrl()->SampleRate(), 48000);
}

TEST_F(FftViewTest, OneKilohertzAt44100LightsItsTwoBarsWithBlackman)
{
    auto view = MakeView();
    view->OnCommand(32781);
    ASSERT_TRUE(capture.WaitForIdle());
    const auto level = [&](unsigned bar) { return static_cast<int>(view->Ctrl()->Bar(bar).Level()); };
    // 3 s of a full-scale 1 kHz sine, exactly as sox's "synth 3 sine 1000" makes it.
    const auto tone = fftsig::Sine(1000, 44100, 32767, 130);
    Deliver(tone, 0, 16);
    // Bars only rise until the tick lets them fall: start afresh from the steady tone.
    view->Ctrl()->ResetBars(-1, 1);
    Deliver(tone, 16, 16);
    EXPECT_NEAR(level(73), 355, 1); // about -1.0 dB
    EXPECT_NEAR(level(74), 352, 1); // about -1.6 dB
    EXPECT_LT(level(72), 190);      // below -34 dB
    EXPECT_LT(level(75), 190);
    EXPECT_LT(level(20), 20);
    EXPECT_EQ(doc.DroppedPackets(), 0u);
    // Left - Right of equal channels shows nothing.
    view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + fft::kInputLeftMinusRight);
    Deliver(tone, 32, 8);
    view->Ctrl()->ResetBars(-1, 1);
    Deliver(tone, 40, 8);
    for (unsigned i = 0; i < 128; ++i)
        ASSERT_EQ(level(i), 0) << "bar " << i;
    // Switching off stops capture and the hub clears the bars.
    view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + fft::kInputLeft);
    Deliver(tone, 48, 8);
    ASSERT_GT(level(73), 330);
    view->OnCommand(32781);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(level(73), 0);
    EXPECT_FALSE(driver.DeliverBlock(tone.data()));
}
