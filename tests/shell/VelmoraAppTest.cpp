// A whole application on the test driver: two input devices ("Line In",
// "USB Mic"), no settings and no workspace file at the first start, notices
// recorded instead of shown.
#include "audio/AudioCapture.h"
#include "meters/common/MeterView.h"
#include "meters/correlation/CorView.h"
#include "platform/Notices.h"
#include "platform/Rect.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPlacement.h"
#include "platform/wavein/TestWaveDriver.h"
#include "shell/MainFrame.h"
#include "shell/MultiViewFrame.h"
#include "shell/UiThreadPriority.h"
#include "shell/VelmoraApp.h"
#include "tests/common/MenuChecks.h"
#include "tests/common/SpinUntil.h"
#include "tests/common/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <tuple>
#include <sys/resource.h>
#include <unistd.h>

class ShellAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTestEnvironment::ClearSettings();
        m_driver = std::make_unique<CTestWaveDriver>();
        m_driver->AddDevice("Line In");
        m_driver->AddDevice("USB Mic");
    }
    void TearDown() override
    {
        if (m_app)
            Stop();
    }
    bool Start()
    {
        m_app = std::make_unique<CVelmoraApp>();
        const bool started = m_app->InitInstance();
        ProcessEvents();
        return started;
    }
    // The normal end: the main window closes, then the application's exit.
    void Stop()
    {
        if (m_app->MainFrame() && m_app->Document())
            m_app->MainFrame()->close();
        m_app->ExitInstance();
        m_app.reset();
        ProcessEvents();
    }
    CMainFrame& Main() { return *m_app->MainFrame(); }
    int ActiveType() const { return static_cast<CMeterView*>(m_app->ActiveView())->InstrumentType(); }
    static void ProcessEvents()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    // A left-button press (or release) at the middle of `r`, in the frame's coordinates.
    static void Press(QWidget* frame, const CRect& r, QEvent::Type type = QEvent::MouseButtonPress)
    {
        const QPointF pos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QMouseEvent event(type, pos, frame->mapToGlobal(pos), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
        ProcessEvents();
    }
    bool Ticking() const { return m_app->Capture().m_bPostTick.load() == 1; }
    // Runs the event loop until the tick runs or a generous limit passes (a safety net, not a timing check).
    bool WaitUntilTicking() const
    {
        return SpinUntil([this] { return Ticking(); });
    }

    CNoticeRecorder m_notices;
    std::unique_ptr<CTestWaveDriver> m_driver; // outlives the application
    std::unique_ptr<CVelmoraApp> m_app;
};

namespace {
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// The checked positions of the device, priority and sample-rate popups, each
// opened the way the user does so its marks are computed.
std::vector<std::vector<int>> Marks(const QMenuBar* bar, int popups = 3)
{
    std::vector<std::vector<int>> marks;
    for (int popup = 0; popup < popups; ++popup) {
        QMenu* menu = bar->actions()[popup]->menu();
        menu->popup(QPoint(0, 0));
        QApplication::processEvents();
        menu->hide();
        marks.push_back(CheckedPositions(menu));
    }
    return marks;
}

using Marked = std::vector<std::vector<int>>;

int CountPixels(const QImage& image, COLORREF color, int fromX = 0)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = fromX; x < image.width(); ++x)
            n += (image.pixel(x, y) | 0xFF000000u) == ToPixel(color) ? 1 : 0;
    }
    return n;
}

// The caption as the frame paints it.
QImage ShownCaption(CMultiViewFrame* frame) { return frame->grab().toImage().copy(frame->CaptionRect().ToQRect()); }
}

TEST_F(ShellAppTest, FirstStartShowsTheDefaultsAndItsExitWritesThem)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_notices.Notices().empty() && Main().isVisible());
    EXPECT_EQ(Main().size(), QSize(640, 480));
    EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tarvix Audio Meter"));
    QStringList titles;
    for (CMultiViewFrame* frame : m_app->Frames())
        titles << frame->windowTitle();
    EXPECT_EQ(titles, QStringList({ "PPM-Meter", "Correlation-Meter", "Spectrum Analyzer", "Stereo-Meter", "Loudness Meter" }));
    // The analyzer window is active and its menu is shown.
    ASSERT_TRUE(m_app->ActiveView() && Main().CurrentMenu());
    EXPECT_EQ(ActiveType(), 132);
    EXPECT_EQ(Main().CurrentMenu()->MenuId(), 132);
    // Device 0 (not WaveMapper), priority High, 44100Hz, not on top.
    EXPECT_EQ(Marks(Main().menuBar(), 4), Marked({ { 1 }, { 1 }, { 0 }, {} }));
    std::map<QString, int> keys;
    for (const QAction* action : Main().actions())
        keys[action->shortcut().toString()] = action->data().toInt();
    for (const auto& [key, command] : std::map<QString, int> { { "F1", 32835 }, { "Shift+F1", 32835 }, { "F5", 32793 },
             { "F12", 32800 }, { "Shift+F5", 32816 }, { "Shift+F12", 32823 } })
        EXPECT_EQ(keys[key], command) << qPrintable(key);

    Stop();
    CSettingsStore::Sync();
    const QSettings stored(CSettingsStore::FilePath(), QSettings::IniFormat);
    for (const auto& [key, value] : std::map<QString, QString> { { "Priority", "1" }, { "MsgDecay", "1" }, { "OnTop", "0" },
             { "Device", "0" }, { "SampleRate", "44100" }, { "Active", "FFT" } })
        EXPECT_EQ(stored.value(QStringLiteral("Settings/") + key).toString(), value) << qPrintable(key);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/Position")).toByteArray().size(), 44);
    EXPECT_EQ(QFile(QStringLiteral("cv.wsp")).size(), 834); // eight never-stored workspaces
}

TEST_F(ShellAppTest, RestartRestoresPlacementsDeviceActiveWindowAndOnTop)
{
    ASSERT_TRUE(Start());
    Main().setGeometry(100, 80, 600, 420);
    m_app->FrameOfType(131)->setGeometry(50, 60, 210, 190);
    Main().ActivateFrame(m_app->FrameOfType(133));
    ASSERT_TRUE(Main().OnCommand(10001)); // the second device
    ASSERT_TRUE(Main().OnCommand(32842)); // always on top
    ProcessEvents();

    Stop();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_app->OnTop() && Main().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(Main().geometry(), QRect(100, 80, 600, 420));
    EXPECT_EQ(m_app->FrameOfType(131)->geometry(), QRect(50, 60, 210, 190));
    EXPECT_EQ(ActiveType(), 133);
    EXPECT_EQ(m_app->Capture().Device().DeviceId(), 1);
    EXPECT_EQ(Marks(Main().menuBar())[0], std::vector<int>({ 2 }));
}

// Never minimised at start (show commands 2, 6 and 7 all minimise), back on a
// screen, 44100Hz for a stored rate the menu does not offer.
TEST_F(ShellAppTest, MainWindowStartsShownOnScreenAtAKnownRate)
{
    const struct {
        QRect placed;
        int showCmd;
        int storedRate; // 0: none stored
        int rate;
    } cases[] = { { { 60, 40, 500, 400 }, 2, 48000, 48000 }, { { 60, 40, 500, 400 }, 3, 22050, 44100 },
        { { 60, 40, 500, 400 }, 6, 0, 44100 }, { { 60, 40, 500, 400 }, 7, 0, 44100 },
        { { 9000, 7000, 500, 400 }, 1, 0, 44100 } };
    for (const auto& stored : cases) {
        SCOPED_TRACE(stored.showCmd);
        CTestEnvironment::ClearSettings();
        CWindowPlacement p;
        std::tie(p.left, p.top, p.right, p.bottom, p.showCmd) = std::tuple(stored.placed.left(), stored.placed.top(),
            stored.placed.right() + 1, stored.placed.bottom() + 1, stored.showCmd);
        CSettingsStore::WriteBinary(QStringLiteral("Settings"), QStringLiteral("Position"), p.ToBytes());
        if (stored.storedRate != 0)
            CSettingsStore::WriteInt(QStringLiteral("Settings"), QStringLiteral("SampleRate"), stored.storedRate);
        CSettingsStore::Sync();
        ASSERT_TRUE(Start());
        EXPECT_FALSE(Main().isMinimized());
        EXPECT_EQ(Main().isMaximized(), stored.showCmd == 3);
        EXPECT_EQ(Main().normalGeometry().size(), QSize(500, 400));
        EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().intersects(Main().normalGeometry()));
        EXPECT_TRUE(stored.placed.left() > 1000 || Main().normalGeometry() == stored.placed);
        EXPECT_EQ(m_app->Capture().Device().SampleRate(), stored.rate);
        Stop();
    }
}

TEST_F(ShellAppTest, MenuCommandsMoveTheMarksWithAMaximisedInstrumentAndSetThePriority)
{
    ASSERT_TRUE(Start());
    CMultiViewFrame* analyzer = m_app->FrameOfType(132);
    analyzer->showMaximized();
    ProcessEvents();
    ASSERT_TRUE(analyzer->isMaximized());
    for (const int command : { 32831, 32838, 32829, 32842 }) // Priority Normal, 48000Hz, WaveMapper, on top
        ASSERT_TRUE(Main().OnCommand(command)) << command;
    EXPECT_EQ(Main().menuBar()->actions()[0]->menu()->title(), QStringLiteral("&Device"));
    EXPECT_EQ(Marks(Main().menuBar(), 4), Marked({ { 0 }, { 0 }, { 1 }, { 2 } }));
    EXPECT_TRUE(m_app->Priority() == 0 && !m_app->Capture().IsPriorityHigh());
    EXPECT_EQ(CUiThreadPriority::Current(), CUiThreadPriority::kNiceNormal);
    ASSERT_TRUE(Main().OnCommand(32832)); // Priority High raises the interface and capture threads
    EXPECT_TRUE(m_app->Priority() == 1 && m_app->Capture().IsPriorityHigh());
    const int nice = CUiThreadPriority::Current();
    EXPECT_TRUE(geteuid() == 0 ? nice == CUiThreadPriority::kNiceAboveNormal : nice <= CUiThreadPriority::kNiceNormal) << nice;
    CUiThreadPriority::Apply(false);
}

TEST(UiThreadPriority, LowestGrantedFollowsTheNiceLimit)
{
    // A limit of 0: only lowering the priority is granted.
    for (const auto& [limit, lowest] : { std::pair<rlim_t, int> { 0, 19 }, { 20, 0 }, { 25, -5 }, { 40, -20 }, { RLIM_INFINITY, -20 } })
        EXPECT_EQ(CUiThreadPriority::LowestGranted(limit), lowest) << limit;
}

TEST_F(ShellAppTest, NoInputDeviceEndsTheStartWithItsMessage)
{
    m_driver = std::make_unique<CTestWaveDriver>();
    EXPECT_FALSE(Start());
    ASSERT_EQ(m_notices.Notices().size(), 1u);
    EXPECT_EQ(m_notices.Notices()[0].caption + QLatin1Char(':') + m_notices.Notices()[0].text, QStringLiteral("Recorder:No input device found!"));
    EXPECT_EQ(m_app->Document(), nullptr);
}

// The Device menu's rescan with an id past the list (the default's marker,
// or a device gone since it was stored) reads no name for it (the
// AddressSanitizer build sees any read past the list).
TEST_F(ShellAppTest, DeviceRescanWithAnIdPastTheListReadsNoName)
{
    ASSERT_TRUE(Start());
    if (m_app->Document()->MeterCount() > 0)
        m_app->Document()->MeterOff(true); // no rescan while a capture runs
    CWaveInDevice& device = m_app->Capture().Device();
    const int past = static_cast<int>(device.Names().size());
    device.SetDeviceId(past);
    EXPECT_FALSE(m_app->RescanDevices()); // the test driver has nothing new
    EXPECT_EQ(device.DeviceId(), past);
}

// Active captions are a blue gradient, inactive ones grey; a running meter's
// title is cyan and bold, a stopped one's red and thin, shown at once; a long
// title is cut left of the buttons.
TEST_F(ShellAppTest, CaptionsShowActivationAndTheMeterStateAndCutLongTitlesLeftOfTheButtons)
{
    ASSERT_TRUE(Start());
    CMultiViewFrame* cor = m_app->FrameOfType(131);
    cor->showNormal();
    Main().ActivateFrame(m_app->FrameOfType(133));
    ProcessEvents();
    cor->SetMeterOn(1);
    const QImage on = ShownCaption(cor);
    cor->SetMeterOn(0);
    const QImage off = ShownCaption(cor);
    EXPECT_EQ(FromPixel(on.pixel(1, 0)), RGB(96, 96, 96)); // column 1 lies left of the title
    EXPECT_EQ(CountPixels(off, kCyan) + CountPixels(on, kRed), 0);
    EXPECT_GT(CountPixels(off, kRed), 0);
    EXPECT_GT(CountPixels(on, kCyan), CountPixels(off, kRed)); // bold covers more than thin
    Main().ActivateFrame(cor);
    cor->setWindowTitle(QStringLiteral("Correlation-Meter with a title far longer than any window is wide"));
    ProcessEvents();
    const QImage cut = ShownCaption(cor);
    EXPECT_EQ(FromPixel(cut.pixel(1, 0)), RGB(128, 128, 192));
    const int limit = cor->MinButtonRect().left - cor->CaptionRect().left - 2;
    EXPECT_EQ(CountPixels(cut, kRed, limit), 0);
    EXPECT_GT(CountPixels(cut.copy(0, 0, limit, cut.height()), kRed, limit - 12), 0); // cut, not dropped
}

// A press on the title starts a move that pauses the tick; a press on a
// button is no move; closing minimises.
TEST_F(ShellAppTest, PressOnTheTitleMovesTheFrameAndTheButtonsMinimiseAndMaximise)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitUntilTicking()); // start-up's own geometry changes settle first
    CMultiViewFrame* cor = m_app->FrameOfType(131);
    cor->showNormal();
    ProcessEvents();
    const CRect caption = cor->CaptionRect();
    const CRect title(caption.left + 2, caption.top, caption.left + 4, caption.bottom);
    const int redraws = Main().RedrawCount();
    Press(cor, title);
    EXPECT_TRUE(cor->InSizeMove() && !Ticking());
    Press(cor, title, QEvent::MouseButtonRelease);
    EXPECT_TRUE(!cor->InSizeMove() && Ticking());
    EXPECT_EQ(Main().RedrawCount(), redraws + 1);
    Press(cor, cor->MaxButtonRect());
    EXPECT_TRUE(cor->isMaximized() && !cor->InSizeMove());
    cor->showNormal();
    ProcessEvents();
    const CCorCtrl* meter = static_cast<CCorView*>(cor->View())->Ctrl();
    Press(cor, cor->MinButtonRect());
    EXPECT_TRUE(cor->isMinimized() && meter->IsPaused());
    cor->showNormal();
    ProcessEvents();
    EXPECT_FALSE(meter->IsPaused());
    EXPECT_FALSE(cor->close());
    ProcessEvents();
    EXPECT_TRUE(cor->isMinimized());
}

TEST_F(ShellAppTest, ArrangeIconsLinesUpMinimisedWindowsAlongTheBottom)
{
    ASSERT_TRUE(Start());
    CMultiViewFrame* ppm = m_app->FrameOfType(129);
    CMultiViewFrame* stereo = m_app->FrameOfType(133);
    ppm->showMinimized();
    stereo->showMinimized();
    ProcessEvents();
    ppm->move(200, 30);
    ASSERT_TRUE(Main().OnCommand(57649));
    const int bottom = Main().MdiArea()->viewport()->height();
    EXPECT_EQ(ppm->geometry().bottomLeft(), QPoint(0, bottom - 1));
    EXPECT_EQ(stereo->geometry().bottomLeft(), QPoint(ppm->geometry().right() + 1, bottom - 1));
}

