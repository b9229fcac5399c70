#include "meters/analyzer/FftCtrl.h"

#include "tests/common/FakeViewFrame.h"
#include "tests/common/MeterPixels.h"
#include "meters/common/ColorSettingsDlg.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QTimerEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kLabelLine = RGB(64, 0, 0);
constexpr COLORREF kScaleText = RGB(192, 192, 255);

// A 500 x 400 client area: 128 bars of pitch 3 from x = 58, top 11, bottom 372.
class FftCtrlTest : public ::testing::Test {
protected:
    FftCtrlTest()
    {
        ctrl = std::make_unique<CFftCtrl>();
        ctrl->Create(nullptr, 128, 0, 0, 502, 402, fft::IDC_FFT_CTRL);
        ctrl->SetFrame(&frame);
        ctrl->PaintNow();
        QCoreApplication::processEvents(); // the click posted by the paint
    }
    ~FftCtrlTest() override { CFftCtrl::SetMenuRunner({}); }

    COLORREF Pixel(int x, int y) const { return ctrl->Dc().GetPixel(x, y); }
    int BarX(int i) const { return 58 + 3 * i; }
    unsigned Level(int bar) const { return ctrl->Bar(static_cast<unsigned>(bar)).Level(); }
    void Ticks(int n) { while (n-- > 0) ctrl->OnTimer(); }
    static QAction* FindAction(QMenu& menu, int id)
    {
        for (QAction* a : menu.findChildren<QAction*>())
            if (a->data().toInt() == id)
                return a;
        return nullptr;
    }

    CFakeViewFrame frame;
    std::unique_ptr<CFftCtrl> ctrl;
};
}

TEST_F(FftCtrlTest, BarsSitAtPitchThreeFromColumn58)
{
    EXPECT_EQ(ctrl->Bar(1).Rect(), CRect(61, 11, 63, 372));
    EXPECT_EQ(ctrl->Bar(127).Rect(), CRect(439, 11, 441, 372));
    ctrl->SetValue(32767, 0);
    const struct { int x, y; COLORREF colour; } pixels[] = { { 57, 200, kBlack }, { 58, 200, ctrl->Params().m_crNorm }, { 59, 200, ctrl->Params().m_crNorm },
        { 60, 200, kBlack }, { 58, 12, ctrl->Params().m_crOver }, { 58, 11, kBlack } };
    for (const auto& p : pixels) EXPECT_EQ(Pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

// Medium falls 2 levels every second tick, fast every tick; a held bar does not fall;
// the relayed timer event with the tick id is a tick.
TEST_F(FftCtrlTest, HeldBarFallsOnlyAfterALowerValueAtTheDecayRate)
{
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
    QCoreApplication::postEvent(ctrl.get(), new QTimerEvent(fft::kTickTimerId));
    QCoreApplication::sendPostedEvents(ctrl.get(), QEvent::Timer);
    levels.push_back(Level(0));
    EXPECT_EQ(levels, (std::vector<unsigned> { 260, 256, 248, 246 }));
}

TEST_F(FftCtrlTest, PeakModesCycleAndWithNoneNoLineIsDrawn)
{
    EXPECT_EQ(ctrl->GetPeakMode(), 2);
    ctrl->OnCommand(fft::ID_FFT_PEAK_HOLD);
    EXPECT_EQ(std::pair(ctrl->Params().m_bPeakDecay, ctrl->GetPeakMode()), std::pair(0, 1));
    ctrl->OnCommand(fft::ID_FFT_PEAK_HOLD);
    EXPECT_EQ(ctrl->GetPeakMode(), 0);
    ctrl->OnCommand(fft::ID_FFT_DECAY_FAST);
    ctrl->SetValue(3276, 0);
    ctrl->SetValue(0, 0);
    Ticks(3); // 254: top row 118
    EXPECT_EQ(ctrl->Bar(0).PeakY(), 112u);
    EXPECT_EQ(std::tuple(Pixel(BarX(0), 112), Pixel(BarX(0), 117), Pixel(BarX(0), 118)), std::tuple(kBlack, kBlack, ctrl->Params().m_crNorm));
    ctrl->OnLButtonDown(0, 0);
    EXPECT_EQ(ctrl->Bar(0).PeakY(), 118u);
    ctrl->OnCommand(fft::ID_FFT_PEAK_DECAY);
    EXPECT_EQ(ctrl->GetPeakMode(), 2);
}

TEST_F(FftCtrlTest, ContextMenuShowsTheStateFreezesTheBarsAndAppliesAChoice)
{
    ctrl->SetValue(20000, -1);
    bool sawOpen = false;
    CFftCtrl::SetMenuRunner([&](QMenu& menu, const QPoint&) -> QAction* {
        sawOpen = ctrl->IsMenuOpen();
        // Medium, Peak Decay, Blackman, Left + Right checked; Peak Hold, On not.
        for (const auto& [id, checked] : { std::pair { 410, true }, { 440, true }, { 463, true }, { 470, true }, { 430, false }, { 450, false } })
            EXPECT_EQ(FindAction(menu, id)->isChecked(), checked) << id;
        EXPECT_EQ(FindAction(menu, 473)->text(), QStringLiteral("Left - Right"));
        ctrl->SetValue(32767, 7); // ignored while the menu is up
        return nullptr;
    });
    ctrl->OnContextMenu(QPoint(10, 10));
    EXPECT_EQ(std::tuple(sawOpen, ctrl->IsMenuOpen(), Level(9), Pixel(BarX(7), 200)), std::tuple(true, false, 0u, kBlack)) << "closing without a choice drops every bar";

    const struct { int id, decay, window, input; } choices[] = { { fft::ID_FFT_DECAY_SLOW, 30, 3, 0 }, { fft::ID_FFT_WINDOW_FIRST, 30, 0, 0 },
        { fft::ID_FFT_INPUT_FIRST + 3, 30, 0, 3 } };
    for (const auto& c : choices) {
        CFftCtrl::SetMenuRunner([&](QMenu& menu, const QPoint&) { return FindAction(menu, c.id); });
        ctrl->OnContextMenu(QPoint());
        EXPECT_EQ(std::tuple(ctrl->DecayTime(), ctrl->CaptureState().WindowType(), ctrl->CaptureState().InputMode()), std::tuple(c.decay, c.window, c.input)) << c.id;
    }
}

TEST_F(FftCtrlTest, WindowChangeLetsTheBarsFallAndOddCodesReadAsDefaults)
{
    ctrl->SetValue(20000, -1);
    EXPECT_EQ(ctrl->Bar(9).DecayStep(), 0);
    ctrl->SetWindowing(fft::kWindowHanning);
    EXPECT_EQ(std::pair(ctrl->Bar(9).DecayStep(), Level(9)), std::pair(2, ctrl->LevelTable().Level(20000))) << "falling, not cleared";
    ctrl->SetWindowing(-2);
    ctrl->SetInputMode(4);
    EXPECT_EQ(std::pair(ctrl->CaptureState().WindowType(), ctrl->CaptureState().InputMode()), std::pair(fft::kWindowBlackman, fft::kInputLeftPlusRight));
}

// The dark red line sits in the gap left of each labelled bar, from 3 rows below the top;
// the labels start at bar 2 at 44100 and at bar 1 at 48000, whose caption then changes.
TEST_F(FftCtrlTest, FrequencyLabelsFollowTheSampleRate)
{
    EXPECT_EQ(std::pair(Pixel(BarX(2) - 1, 13), Pixel(BarX(2) - 1, 14)), std::pair(kBlack, kLabelLine));
    EXPECT_GT(CountPixels(ctrl->Dc(), CRect(BarX(2) - 6, 375, BarX(2) + 5, 398), kScaleText), 0) << "label text below the bar";
    const QImage caption = ctrl->BackBuffer().copy(235, 0, 60, 11);
    const struct { int rate, first; std::vector<int> lined, unlined; } rows[] = { { 44100, 2, { 2, 126 }, { 1, 127 } }, { 48000, 1, { 1, 125 }, { 2 } } };
    for (const auto& r : rows) {
        ctrl->SetValue(20000, -1);
        ctrl->SetSampleRate(r.rate);
        QCoreApplication::processEvents();
        EXPECT_EQ(ctrl->FirstLabelledBar(), r.first);
        for (bool lined : { true, false })
            for (int bar : lined ? r.lined : r.unlined)
                EXPECT_EQ(Pixel(BarX(bar) - 1, 200), lined ? kLabelLine : kBlack) << r.rate << " bar " << bar;
    }
    EXPECT_EQ(Level(40), 0u) << "a new rate clears the bars";
    // The caption "48000Hz" as the drawing context writes it (row 12 carries the 0 dB grid line).
    CDrawContext expected;
    expected.Resize(500, 400);
    expected.SelectFont(ctrl->NormalFont());
    expected.SetBkColor(kBlack);
    expected.SetTextColor(kScaleText);
    const CRect rc(235, -1, 295, 15);
    expected.ExtTextOut(235, -1, ETO_CLIPPED, &rc, QStringLiteral("48000Hz"));
    EXPECT_EQ(ctrl->BackBuffer().copy(235, 0, 60, 11), expected.Image().copy(235, 0, 60, 11));
    EXPECT_NE(ctrl->BackBuffer().copy(235, 0, 60, 11), caption);
}

TEST_F(FftCtrlTest, LowControlsUseTheSmallFont)
{
    for (const auto& [height, small] : { std::pair { 249, true }, { 250, false } }) {
        ctrl->resize(502, height + 2);
        ctrl->PaintNow();
        EXPECT_EQ(ctrl->Dc().SelectedFont(), small ? ctrl->SmallFont() : ctrl->NormalFont()) << height;
    }
}

// A choice made while suspended waits for the resume.
TEST_F(FftCtrlTest, AChoiceMadeWhileSuspendedWaitsForTheResume)
{
    ctrl->SetOn(1);
    ctrl->NotifyMinimized(1);
    ctrl->SetOn(0);
    EXPECT_EQ(ctrl->IsSwitchedOn(), 0);
    ctrl->SetOn(1);
    EXPECT_EQ(std::pair(ctrl->IsOn(), ctrl->IsSwitchedOn()), std::pair(0, 1));
    ctrl->NotifyMinimized(0);
    EXPECT_EQ(ctrl->IsOn(), 1);
}

TEST_F(FftCtrlTest, ColourDialogAppliesItsChoiceAndCancelChangesNothing)
{
    ctrl->SetOn(1);
    ctrl->SetValue(20000, -1);
    CColorSettingsDlg::SetModalRunner([](CColorSettingsDlg& dlg) {
        dlg.m_crOver = RGB(9, 9, 9);
        dlg.OnCancel();
        return dlg.Result();
    });
    ctrl->OnCommand(fft::ID_FFT_COLORS);
    EXPECT_EQ(std::pair(ctrl->Params().m_crOver, Level(3)), std::pair(RGB(255, 0, 0), ctrl->LevelTable().Level(20000)));
    QString offered;
    CColorSettingsDlg::SetModalRunner([&](CColorSettingsDlg& dlg) {
        offered = QString::number(dlg.TemplateId()) + " " + dlg.OverCombo()->itemText(0) + " "
            + dlg.OverCombo()->currentText() + " " + dlg.TweenCombo()->currentText();
        dlg.OverCombo()->setCurrentIndex(2);   // "-6 db"
        dlg.TweenCombo()->setCurrentIndex(13); // "-30 db"
        dlg.m_crNorm = RGB(1, 2, 3);
        dlg.OnOK();
        return dlg.Result();
    });
    ctrl->OnCommand(fft::ID_FFT_COLORS);
    CColorSettingsDlg::SetModalRunner({});
    EXPECT_EQ(offered, QStringLiteral("146 -2 db -10 db -20 db"));
    EXPECT_EQ(std::tuple(ctrl->Params().m_nOverPoint, ctrl->Params().m_nTweenPoint, ctrl->Params().m_crNorm, Level(3), ctrl->IsOn()), std::tuple(330u, 210u, RGB(1, 2, 3), 0u, 1));
}
