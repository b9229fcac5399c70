#include "meters/analyzer/FftView.h"

#include "platform/SettingsStore.h"
#include "tests/common/FakeMeterSinks.h"
#include "tests/common/ViewTestBench.h"
#include "tests/meters/analyzer/FftSignals.h"
#include "workspace/Wsp.h"

#include <QPointer>

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
    ~FftViewTest() override { Release(); }
    void Release()
    {
        doc.SetFft(nullptr);
        doc.SetAnalyzerFeed(nullptr);
        doc.SetPpm(nullptr);
        if (doc.MeterCount() > 0)
            doc.MeterOff(true);
    }
    std::unique_ptr<CFftView> MakeView(CFakeViewFrame& viewFrame) { return CreateView<CFftView>(502, 302, viewFrame); }
    std::unique_ptr<CFftView> MakeView() { return MakeView(frame); }
    // Peak mode, decay time, input mode, window type of the control and of the capture.
    static std::tuple<int, int, int, int, int> Options(const CFftCtrl& c)
    {
        return { c.GetPeakMode(), c.DecayTime(), c.InputMode(), c.WindowType(), c.CaptureState().WindowType() };
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
    const struct { int peak, decay, input, window, peakMode, decayTime, inputMode, windowType; } rows[] = {
        { 1, 2, 3, 5, 1, 30, 3, 5 }, { 0, 0, 2, 0, 0, 10, 2, 0 }, { 5, -1, 4, 7, 2, 20, 0, 3 }, { 2, 3, 0, 0, 2, 20, 0, 0 } };
    for (const auto& r : rows) {
        for (const auto& [entry, value] : { std::pair { "Peak", r.peak }, { "Decay", r.decay }, { "Input", r.input },
                 { "Windowing", r.window }, { "NormColor", 0x010203 }, { "OverPoint", 300 } })
            CSettingsStore::WriteInt(kFft, QString::fromLatin1(entry), value);
        CFakeViewFrame viewFrame;
        auto view = MakeView(viewFrame);
        const CFftCtrl& c = *view->Ctrl();
        EXPECT_EQ(Options(c), std::tuple(r.peakMode, r.decayTime, r.inputMode, r.windowType, r.windowType)) << r.peak;
        EXPECT_EQ(std::pair(c.Params().m_crNorm, c.Params().m_nOverPoint), std::pair(0x010203u, 300u));
        Release();
    }
}

TEST_F(FftViewTest, FirstRunComesUpOffWithTheDefaultsRelaysThePpmTickAndWithoutATransformPlanRefusesToRun)
{
    CRelayPpm ppm;
    doc.SetPpm(&ppm);
    auto view = MakeView();
    EXPECT_EQ(std::pair(doc.Fft(), ppm.relay.data()), std::pair(static_cast<IFftSink*>(view->Ctrl()), static_cast<QWidget*>(view->Ctrl())));
    const FftBarParams& p = view->Ctrl()->Params();
    EXPECT_EQ(std::tuple(view->Ctrl()->IsOn(), p.m_crNorm, p.m_crTween, p.m_nTweenPoint, p.m_nOverPoint), std::tuple(0, RGB(0, 192, 192), RGB(255, 255, 0), 260u, 310u));
    EXPECT_EQ(std::pair(view->MinTrackSize(), view->EraseColor()), std::pair(QSize(464, 216 - 17), RGB(96, 96, 96)));
    std::array<fftw_real, 4> none {};
    std::array<std::uint32_t, 4> bands {};
    view->Feed().Engine().Init(4, none.data(), none.data(), bands.data());
    view->OnCommand(32781);
    EXPECT_EQ(std::pair(view->Ctrl()->IsOn(), driver.OpenCount()), std::pair(0, 0));
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(std::pair(notices.Notices()[0].caption, notices.Notices()[0].icon), std::pair(QStringLiteral("Spectrum Analyzer"), NoticeIcon::Error));
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
    EXPECT_EQ(std::tuple(doc.MeterCount(), view->Ctrl()->Bar(50).Level(), view->Ctrl()->Bar(50).DecayStep()), std::tuple(1, level, 2)) << "not cleared but falling";
}

TEST_F(FftViewTest, DestroyWritesEveryOptionAndTheWorkspaceCarriesThem)
{
    {
        auto view = MakeView();
        view->OnCommand(fft::ID_FFT_PEAK_HOLD); // not a view command
        for (int command : { fft::ID_FFT_PEAK_HOLD, fft::ID_FFT_DECAY_FAST, fft::ID_FFT_INPUT_FIRST + 2, fft::ID_FFT_WINDOW_FIRST + 6 })
            view->Ctrl()->OnCommand(command);
        view->Ctrl()->SetColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
        view->Ctrl()->SetPoints(150, 250);
        view->OnDestroy();
    }
    const std::pair<const char*, int> entries[] = { { "Peak", 1 }, { "Decay", 0 }, { "Input", 2 }, { "Windowing", 6 },
        { "NormColor", 0x010101 }, { "TweenColor", 0x020202 }, { "OverColor", 0x030303 }, { "TweenPoint", 150 }, { "OverPoint", 250 } };
    for (const auto& [entry, value] : entries) EXPECT_EQ(CSettingsStore::GetInt(kFft, QString::fromLatin1(entry), -1), value) << entry;
    Release();
    CTestEnvironment::ClearSettings();

    auto view = MakeView();
    view->OnCommand(32781);
    CFftCtrl& c = *view->Ctrl();
    for (int command : { fft::ID_FFT_PEAK_DECAY, fft::ID_FFT_DECAY_SLOW, fft::ID_FFT_INPUT_FIRST + 1, fft::ID_FFT_WINDOW_FIRST + 4 })
        c.OnCommand(command); // peak mode none
    CWsp stored;
    view->OnUpdate(HINT_STORE, &stored);
    EXPECT_EQ(stored.m_winSets.at(0).m_nParam, (std::array<std::int32_t, 10> { 0, 1, 0, 2, 1, 4, 0, 0, 0, 0 }));
    view->OnCommand(32781);
    for (int command : { fft::ID_FFT_PEAK_HOLD, fft::ID_FFT_DECAY_FAST, fft::ID_FFT_INPUT_FIRST, fft::ID_FFT_WINDOW_FIRST })
        c.OnCommand(command);
    ASSERT_FALSE(driver.IsOpen());
    view->OnUpdate(HINT_RESTORE, &stored);
    EXPECT_EQ(std::pair(c.IsOn(), driver.IsOpen()), std::pair(1, true));
    EXPECT_EQ(Options(c), std::tuple(0, 30, 1, 4, 4));
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
    EXPECT_EQ(std::pair(view->Ctrl()->IsOn(), doc.MeterCount()), std::pair(1, 2));
    view->OnUpdate(HINT_RESTORE, &workspace);
    EXPECT_EQ(std::pair(doc.MeterCount(), driver.OpenCount()), std::pair(2, opens));
    EXPECT_EQ(Options(*view->Ctrl()), std::tuple(2, 20, 0, 3, 3));
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
    EXPECT_EQ(std::pair(view->Ctrl()->IsOn(), view->Ctrl()->SampleRate()), std::pair(1, 48000));
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
    EXPECT_TRUE(level(72) < 190 && level(75) < 190 && level(20) < 20) << "below -34 dB beside them";
    EXPECT_EQ(doc.DroppedPackets(), 0u);
    // Left - Right of equal channels shows nothing.
    view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + fft::kInputLeftMinusRight);
    Deliver(tone, 32, 8);
    view->Ctrl()->ResetBars(-1, 1);
    Deliver(tone, 40, 8);
    for (unsigned i = 0; i < 128; ++i) ASSERT_EQ(level(i), 0) << "bar " << i;
    // Switching off stops capture and the hub clears the bars.
    view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + fft::kInputLeft);
    Deliver(tone, 48, 8);
    ASSERT_GT(level(73), 330);
    view->OnCommand(32781);
    EXPECT_EQ(std::tuple(driver.IsOpen(), level(73), driver.DeliverBlock(tone.data())), std::tuple(false, 0, false));
}
