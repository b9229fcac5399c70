#include "meters/analyzer/FftView.h"

#include "platform/SettingsStore.h"
#include "tests/common/FakeMeterSinks.h"
#include "tests/common/ViewTestBench.h"
#include "workspace/Wsp.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QTimerEvent>

#include <cmath>

namespace {
const QString kFft = QStringLiteral("FFT");

// A steady full-scale sine on both channels, interleaved.
std::vector<std::int16_t> Sine(double hz, double rate, int frames)
{
    std::vector<std::int16_t> samples(2 * frames);
    for (int n = 0; n < frames; ++n) {
        const double phase = 2 * 3.14159265358979323846 * hz * n / rate;
        const auto v = static_cast<std::int16_t>(std::lround(32767 * std::sin(phase)));
        samples[2 * n] = samples[2 * n + 1] = v;
    }
    return samples;
}
constexpr COLORREF kBlack = RGB(0, 0, 0);

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
        Release();
        CFftCtrl::SetMenuRunner({});
    }
    void Release()
    {
        doc.SetFft(nullptr);
        doc.SetAnalyzerFeed(nullptr);
        doc.SetPpm(nullptr);
        if (doc.MeterCount() > 0)
            doc.MeterOff(true);
    }
    std::unique_ptr<CFftView> MakeView(CFakeViewFrame& viewFrame) { return CreateView<CFftView>(502, 402, viewFrame); }
    std::unique_ptr<CFftView> MakeView() { return MakeView(frame); }
    // Peak mode, decay time, input mode, window type of the control and of the capture.
    static std::tuple<int, int, int, int, int> Options(const CFftCtrl& c)
    {
        return { c.GetPeakMode(), c.DecayTime(), c.InputMode(), c.WindowType(), c.CaptureState().WindowType() };
    }
    // The control alone in a 500 x 400 client area: 128 bars of pitch 3 from x = 58, top 11, bottom 372.
    void Show()
    {
        shown = MakeView();
        shown->show();
        ctrl = shown->Ctrl();
        ctrl->PaintNow();
        QCoreApplication::processEvents(); // the click posted by the paint
    }
    COLORREF Pixel(int x, int y) const { return ctrl->Dc().GetPixel(x, y); }
    int BarX(int i) const { return 58 + 3 * i; }
    unsigned Level(int bar) const { return ctrl->Bar(static_cast<unsigned>(bar)).Level(); }
    void Ticks(int n)
    {
        while (n-- > 0)
            ctrl->OnTimer();
    }
    static QAction* FindAction(QMenu& menu, int id)
    {
        for (QAction* a : menu.findChildren<QAction*>())
            if (a->data().toInt() == id)
                return a;
        return nullptr;
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

    std::unique_ptr<CFftView> shown;
    CFftCtrl* ctrl = nullptr;
};
}

TEST_F(FftViewTest, StoredOptionsAreAppliedOddCodesReadAsDefaults)
{
    const struct {
        int peak, decay, input, window, peakMode, decayTime, inputMode, windowType;
    } rows[] = { { 1, 2, 3, 5, 1, 30, 3, 5 }, { 0, 0, 2, 0, 0, 10, 2, 0 }, { 5, -1, 4, 7, 2, 20, 0, 3 },
        { 2, 3, 0, 0, 2, 20, 0, 0 } };
    for (const auto& r : rows) {
        const std::pair<const char*, int> entries[] = { { "Peak", r.peak }, { "Decay", r.decay }, { "Input", r.input },
            { "Windowing", r.window }, { "NormColor", 0x010203 }, { "OverPoint", 300 } };
        for (const auto& [entry, value] : entries)
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
    CFftCtrl* ctrl = view->Ctrl();
    EXPECT_EQ(doc.Fft(), static_cast<IFftSink*>(ctrl));
    EXPECT_EQ(ppm.relay.data(), static_cast<QWidget*>(ctrl));
    EXPECT_EQ(std::tuple(ctrl->IsOn(), ctrl->Params().m_nTweenPoint, ctrl->Params().m_nOverPoint),
        std::tuple(0, 260u, 310u));
    std::array<fftw_real, 4> none {};
    std::array<std::uint32_t, 4> bands {};
    view->Feed().Engine().Init(4, none.data(), none.data(), bands.data());
    view->OnCommand(32781);
    EXPECT_EQ(std::pair(ctrl->IsOn(), driver.OpenCount()), std::pair(0, 0));
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(std::pair(notices.Notices()[0].caption, notices.Notices()[0].icon),
        std::pair(QStringLiteral("Spectrum Analyzer"), NoticeIcon::Error));
}

// A fresh view after the class state was reset is not taken for minimised: its first minimise pauses it.
TEST_F(FftViewTest, SwitchingOffWhileAnotherMeterRunsLetsTheBarsFall)
{
    auto view = MakeView();
    CFftCtrl* ctrl = view->Ctrl();
    doc.CountRestoredMeter(); // another instrument keeps capture going
    EXPECT_TRUE(ctrl->OnCommand(fft::ID_FFT_ON));
    view->OnSize(SIZE_MINIMIZED);
    EXPECT_EQ(ctrl->IsOn(), 0);
    view->OnSize(SIZE_RESTORED);
    ASSERT_EQ(ctrl->IsOn(), 1);
    EXPECT_FALSE(ctrl->OnCommand(475));
    ctrl->SetValue(20000, -1);
    const unsigned level = ctrl->Bar(50).Level();
    view->OnCommand(32781);
    // Not cleared but falling.
    EXPECT_EQ(std::tuple(doc.MeterCount(), ctrl->Bar(50).Level(), ctrl->Bar(50).DecayStep()), std::tuple(1, level, 2));
}

TEST_F(FftViewTest, DestroyWritesEveryOptionAndTheWorkspaceRecordCarriesThem)
{
    auto view = MakeView();
    CFftCtrl& c = *view->Ctrl();
    for (int command : { fft::ID_FFT_PEAK_HOLD, fft::ID_FFT_DECAY_FAST, fft::ID_FFT_INPUT_FIRST + 2 })
        c.OnCommand(command);
    c.OnCommand(fft::ID_FFT_WINDOW_FIRST + 6);
    c.SetColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
    c.SetPoints(150, 250);
    view->OnDestroy();
    const std::pair<const char*, int> entries[] = { { "Peak", 1 }, { "Decay", 0 }, { "Input", 2 }, { "Windowing", 6 },
        { "NormColor", 0x010101 }, { "TweenColor", 0x020202 }, { "OverColor", 0x030303 }, { "TweenPoint", 150 },
        { "OverPoint", 250 } };
    for (const auto& [entry, value] : entries)
        EXPECT_EQ(CSettingsStore::GetInt(kFft, QString::fromLatin1(entry), -1), value) << entry;

    view->OnCommand(32781);
    for (int command : { fft::ID_FFT_PEAK_HOLD, fft::ID_FFT_DECAY_SLOW, fft::ID_FFT_INPUT_FIRST + 1 })
        c.OnCommand(command); // peak mode none
    c.OnCommand(fft::ID_FFT_WINDOW_FIRST + 4);
    CWsp stored;
    view->OnUpdate(HINT_STORE, &stored);
    EXPECT_EQ(stored.m_winSets.at(0).m_nParam, (std::array<std::int32_t, 10> { 0, 1, 0, 2, 1, 4, 0, 0, 0, 0 }));
}

TEST_F(FftViewTest, OneKilohertzAt44100LightsItsTwoBarsWithBlackman)
{
    auto view = MakeView();
    view->OnCommand(32781);
    ASSERT_TRUE(capture.WaitForIdle());
    const auto level = [&](unsigned bar) { return static_cast<int>(view->Ctrl()->Bar(bar).Level()); };
    // 3 s of a full-scale 1 kHz sine, exactly as sox's "synth 3 sine 1000" makes it.
    const auto tone = Sine(1000, 44100, 3 * 44100);
    Deliver(tone, 0, 16);
    // Bars only rise until the tick lets them fall: start afresh from the steady tone.
    view->Ctrl()->ResetBars(-1, 1);
    Deliver(tone, 16, 16);
    EXPECT_NEAR(level(73), 355, 1); // about -1.0 dB
    EXPECT_NEAR(level(74), 352, 1); // about -1.6 dB
    EXPECT_TRUE(level(72) < 190 && level(75) < 190 && level(20) < 20) << "below -34 dB beside them";
    // Left minus right, halved, of the tone against its inverse is the tone again.
    auto antiPhase = tone;
    for (std::size_t i = 1; i < antiPhase.size(); i += 2)
        antiPhase[i] = static_cast<std::int16_t>(-antiPhase[i]);
    view->Ctrl()->OnCommand(fft::ID_FFT_INPUT_FIRST + fft::kInputLeftMinusRight);
    view->Ctrl()->ResetBars(-1, 1);
    Deliver(antiPhase, 32, 16);
    EXPECT_NEAR(level(73), 355, 1);
    EXPECT_EQ(doc.DroppedPackets(), 0u);
}

TEST_F(FftViewTest, HeldBarFallsOnlyAfterALowerValueAtTheDecayRate)
{
    Show();
    std::vector<unsigned> levels;
    ctrl->SetValue(3276, 0);
    Ticks(4);
    levels.push_back(Level(0));
    ctrl->SetValue(0, 0);
    Ticks(4);
    levels.push_back(Level(0));
    ctrl->OnCommand(fft::ID_FFT_DECAY_FAST);
    Ticks(4);
    levels.push_back(Level(0));
    QCoreApplication::postEvent(ctrl, new QTimerEvent(fft::kTickTimerId));
    QCoreApplication::sendPostedEvents(ctrl, QEvent::Timer);
    levels.push_back(Level(0));
    EXPECT_EQ(levels, (std::vector<unsigned> { 260, 256, 248, 246 }));
}

TEST_F(FftViewTest, PeakModesCycleAndWithNoneNoLineIsDrawn)
{
    Show();
    EXPECT_EQ(ctrl->GetPeakMode(), 2);
    ctrl->OnCommand(fft::ID_FFT_PEAK_HOLD);
    EXPECT_EQ(std::pair(ctrl->Params().m_bPeakDecay, ctrl->GetPeakMode()), std::pair(0, 1));
    ctrl->OnCommand(fft::ID_FFT_PEAK_HOLD);
    ctrl->SetValue(3276, 0);
    ctrl->SetValue(0, 0);
    Ticks(6); // 254: top row 118
    EXPECT_EQ(std::tuple(ctrl->GetPeakMode(), Pixel(BarX(0), 112), Pixel(BarX(0), 118)),
        std::tuple(0, kBlack, ctrl->Params().m_crNorm));
}

TEST_F(FftViewTest, ContextMenuShowsTheStateFreezesTheBarsAndAppliesAChoice)
{
    Show();
    ctrl->SetValue(20000, -1);
    bool sawOpen = false;
    CFftCtrl::SetMenuRunner([&](QMenu& menu, const QPoint&) -> QAction* {
        sawOpen = ctrl->IsMenuOpen();
        // Medium, Peak Decay, Blackman, Left + Right checked; Peak Hold, On not.
        const std::pair<int, bool> items[] = { { 410, true }, { 440, true }, { 463, true }, { 470, true },
            { 430, false }, { 450, false } };
        for (const auto& [id, checked] : items)
            EXPECT_EQ(FindAction(menu, id)->isChecked(), checked) << id;
        ctrl->SetValue(32767, 7); // ignored while the menu is up
        return nullptr;
    });
    ctrl->OnContextMenu(QPoint(10, 10));
    // Closing without a choice drops every bar.
    EXPECT_EQ(std::tuple(sawOpen, ctrl->IsMenuOpen(), Level(9), Pixel(BarX(7), 200)),
        std::tuple(true, false, 0u, kBlack));

    const struct {
        int id, decay, window, input;
    } choices[] = { { fft::ID_FFT_DECAY_SLOW, 30, 3, 0 }, { fft::ID_FFT_WINDOW_FIRST, 30, 0, 0 },
        { fft::ID_FFT_INPUT_FIRST + 3, 30, 0, 3 } };
    for (const auto& c : choices) {
        CFftCtrl::SetMenuRunner([&](QMenu& menu, const QPoint&) { return FindAction(menu, c.id); });
        ctrl->OnContextMenu(QPoint());
        const CFftCaptureState& state = ctrl->CaptureState();
        EXPECT_EQ(std::tuple(ctrl->DecayTime(), state.WindowType(), state.InputMode()),
            std::tuple(c.decay, c.window, c.input)) << c.id;
    }
}
