#include "shell/MultiViewFrame.h"

#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "meters/common/MeterView.h"
#include "shell/SizeMoveListener.h"
#include "tests/common/FakeViewFrame.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMouseEvent>
#include <tuple>
#include <gtest/gtest.h>

namespace {
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A view that measures and draws nothing and records the size changes it is told of.
class CRecordingView : public CMeterView {
public:
    CRecordingView(IViewHost& host, int type) : CMeterView(host), m_nType(type) {}
    int InstrumentType() const override { return m_nType; }
    void OnInitialUpdate() override {}
    void OnActivateView(bool) override {}
    void OnSize(int type) override { m_sizes.push_back(type); }
    QSize MinTrackSize() const override { return QSize(150, 120); }
    void OnDestroy() override {}
    bool OnCommand(int) override { return false; }
    COLORREF EraseColor() const override { return RGB(96, 96, 96); }
    std::vector<int> m_sizes;

protected:
    IMeterSwitch& Meter() override { return m_meter; }
    void StoreOptions(CWinSet&) override {}
    void RestoreOptions(const CWinSet&) override {}
    int ActiveParam() const override { return 0; }

private:
    struct CNoMeter : IMeterSwitch {
        int IsOn() const override { return 0; }
        void SetOn(int) override {}
    } m_meter;
    int m_nType;
};

class CSizeMoveRecorder : public ISizeMoveListener {
public:
    void OnEnterSizeMove() override { m_events.push_back("enter"); }
    void OnExitSizeMove() override { m_events.push_back("exit"); }
    std::vector<std::string> m_events;
};

int CountPixels(const QImage& image, COLORREF color, int fromX = 0, int toX = -1)
{
    const QRgb wanted = ToPixel(color);
    if (toX < 0)
        toX = image.width();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = fromX; x < toX; ++x)
            n += (image.pixel(x, y) | 0xFF000000u) == wanted ? 1 : 0;
    }
    return n;
}

COLORREF PixelAt(const QImage& image, int x, int y) { return FromPixel(image.pixel(x, y)); }

void ProcessEvents()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}
}

class MultiViewFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.resize(640, 480);
        m_window.setCentralWidget(m_pArea);
        m_pFirstView = new CRecordingView(m_host, 129);
        m_pFirst = new CMultiViewFrame(m_pFirstView, QStringLiteral("PPM-Meter"), &m_listener);
        m_pSecond = new CMultiViewFrame(new CRecordingView(m_host, 131), QStringLiteral("Correlation-Meter"), &m_listener);
        m_pArea->addSubWindow(m_pFirst);
        m_pArea->addSubWindow(m_pSecond);
        m_pFirst->setGeometry(10, 10, 240, 160);
        m_pSecond->setGeometry(300, 10, 240, 160);
        m_window.show();
        m_pFirst->show();
        m_pSecond->show();
        ProcessEvents();
    }

    void Activate(CMultiViewFrame* frame)
    {
        m_pArea->setActiveSubWindow(frame);
        ProcessEvents();
    }

    void Press(CMultiViewFrame* frame, const CRect& r, QEvent::Type type = QEvent::MouseButtonPress)
    {
        const QPointF pos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QMouseEvent event(type, pos, frame->mapToGlobal(pos), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
        ProcessEvents();
    }

    CAudioCapture m_capture;
    CVelmoraDoc m_doc { m_capture };
    CFakeViewHost m_host { m_doc };
    CSizeMoveRecorder m_listener;
    QMainWindow m_window;
    QMdiArea* m_pArea = new QMdiArea;
    CRecordingView* m_pFirstView = nullptr;
    CMultiViewFrame* m_pFirst = nullptr;
    CMultiViewFrame* m_pSecond = nullptr;
};

TEST_F(MultiViewFrameTest, CaptionIsABlueOrGreyGradientWithACyanBoldOrRedThinTitleCutLeftOfTheButtons)
{
    const auto caption = [this](bool active, int meterOn) {
        m_pFirst->SetMeterOn(meterOn);
        m_pFirst->BuildCaption(active);
        return m_pFirst->CaptionImage(active).copy();
    };
    const QImage active = caption(true, 1);
    const QImage inactive = caption(false, 1);
    const QImage off = caption(true, 0);
    const int h = active.height();
    ASSERT_GT(h, 1);
    // Column 1 lies left of the title text; the gradient darkens downwards.
    EXPECT_EQ(PixelAt(active, 1, 0), RGB(128, 128, 192));
    EXPECT_EQ(PixelAt(inactive, 1, 0), RGB(96, 96, 96));
    const QColor activeBottom = QColor::fromRgb(active.pixel(1, h - 1));
    EXPECT_LT(activeBottom.red(), 128);
    EXPECT_EQ(activeBottom.blue() - activeBottom.red(), 64);
    EXPECT_LT(QColor::fromRgb(inactive.pixel(1, h - 1)).red(), 96);
    EXPECT_EQ(CountPixels(off, kCyan) + CountPixels(active, kRed), 0);
    EXPECT_GT(CountPixels(off, kRed), 0);
    EXPECT_GT(CountPixels(active, kCyan), CountPixels(off, kRed)); // bold covers more than thin

    m_pFirst->setGeometry(10, 10, 120, 160);
    m_pFirst->setWindowTitle(QStringLiteral("Spectrum Analyzer with a very long title indeed"));
    const QImage cut = caption(true, 0);
    const int limit = m_pFirst->MinButtonRect().left - m_pFirst->CaptionRect().left - 2;
    ASSERT_GT(limit, 10);
    EXPECT_EQ(CountPixels(cut, kRed, limit, cut.width()), 0);
    EXPECT_GT(CountPixels(cut, kRed, limit - 12, limit), 0); // cut, not dropped
}

TEST_F(MultiViewFrameTest, MeterStateShowsAtOnceWithoutActivatingAndActivationSwitchesTheGradient)
{
    Activate(m_pSecond);
    ASSERT_FALSE(m_pFirst->CaptionActive());
    m_pFirst->SetMeterOn(1);
    // What is on the screen now: the frame rendered as it paints.
    const CRect& caption = m_pFirst->CaptionRect();
    const QImage captionShown = m_pFirst->grab().toImage().copy(caption.ToQRect());
    EXPECT_GT(CountPixels(captionShown, kCyan), 0);
    EXPECT_EQ(CountPixels(captionShown, kRed), 0);
    EXPECT_FALSE(m_pFirst->CaptionActive());
    EXPECT_EQ(m_pArea->activeSubWindow(), m_pSecond);
    Activate(m_pFirst);
    EXPECT_TRUE(m_pFirst->CaptionActive());
    EXPECT_FALSE(m_pSecond->CaptionActive());
    EXPECT_EQ(PixelAt(m_pFirst->grab().toImage(), caption.left + 1, caption.top), RGB(128, 128, 192));
    EXPECT_EQ(PixelAt(m_pSecond->grab().toImage(), caption.left + 1, caption.top), RGB(96, 96, 96));
}

// The caption's close button does nothing; closing minimises.
TEST_F(MultiViewFrameTest, PressOnTheTitleMovesTheFrameCloseMinimisesAndTheButtonsMinimiseAndMaximise)
{
    const CRect caption = m_pFirst->CaptionRect();
    const CRect title(caption.left + 4, caption.top, caption.left + 10, caption.bottom);
    Press(m_pFirst, title);
    EXPECT_TRUE(m_pFirst->InSizeMove());
    EXPECT_EQ(m_listener.m_events, std::vector<std::string>({ "enter" }));
    Press(m_pFirst, title, QEvent::MouseButtonRelease);
    EXPECT_FALSE(m_pFirst->InSizeMove());
    Press(m_pFirst, m_pFirst->MaxButtonRect()); // no move
    EXPECT_EQ(m_listener.m_events, std::vector<std::string>({ "enter", "exit" }));
    EXPECT_FALSE(m_pFirst->close());
    ProcessEvents();
    EXPECT_TRUE(m_pFirst->isMinimized());
    EXPECT_EQ(m_pArea->subWindowList().size(), 2);
    m_pSecond->showNormal();
    ProcessEvents();
    Press(m_pSecond, m_pSecond->CloseButtonRect());
    EXPECT_FALSE(m_pSecond->isMinimized() || m_pSecond->isMaximized());
    Press(m_pSecond, m_pSecond->MinButtonRect());
    EXPECT_TRUE(m_pSecond->isMinimized());
    m_pFirst->showNormal();
    ProcessEvents();
    Press(m_pFirst, m_pFirst->MaxButtonRect());
    EXPECT_TRUE(m_pFirst->isMaximized());
}

// The view hears of a minimising once; only a restored frame takes its size limit.
TEST_F(MultiViewFrameTest, SizeChangesReachTheViewMinimisingOnlyOnceAndOnlyRestoredFramesTakeItsLimit)
{
    EXPECT_EQ(m_pFirst->minimumSizeHint(), QSize(150, 120));
    std::vector<int>& sizes = m_pFirstView->m_sizes;
    sizes.clear();
    m_pFirst->showMinimized();
    ProcessEvents();
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), SIZE_MINIMIZED), 1);
    EXPECT_NE(m_pFirst->minimumSizeHint(), QSize(150, 120));
    m_pFirst->showMaximized();
    ProcessEvents();
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(), SIZE_MAXIMIZED);
    m_pFirst->showNormal();
    ProcessEvents();
    EXPECT_EQ(sizes.back(), SIZE_RESTORED);
}

TEST_F(MultiViewFrameTest, PlacementKeepsTheNormalRectangleInEveryState)
{
    for (const int showCmd : { SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED }) {
        SCOPED_TRACE(showCmd);
        CWindowPlacement p;
        std::tie(p.left, p.top, p.right, p.bottom, p.showCmd) = std::tuple(40, 30, 240, 180, showCmd);
        m_pFirst->SetWindowPlacement(p);
        ProcessEvents();
        EXPECT_EQ(m_pFirst->isMinimized(), showCmd == SW_SHOWMINIMIZED);
        EXPECT_EQ(m_pFirst->isMaximized(), showCmd == SW_SHOWMAXIMIZED);
        const CWindowPlacement got = m_pFirst->GetWindowPlacement();
        EXPECT_EQ(got.showCmd, showCmd);
        EXPECT_EQ(QRect(QPoint(got.left, got.top), QPoint(got.right - 1, got.bottom - 1)), QRect(40, 30, 200, 150));
        // Only a minimised window has a minimised position: where its bar is.
        EXPECT_EQ(QPoint(got.minX, got.minY), showCmd == SW_SHOWMINIMIZED ? m_pFirst->geometry().topLeft() : QPoint(-1, -1));
        m_pFirst->showNormal();
        ProcessEvents();
        EXPECT_EQ(m_pFirst->geometry(), QRect(40, 30, 200, 150));
        m_pFirst->setGeometry(10, 10, 240, 160);
    }
}
