#include "meters/analyzer/FftCtrl.h"

#include "tests/common/FakeViewFrame.h"
#include "meters/analyzer/FftScaleTable.h"
#include "meters/common/ColorSettingsDlg.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QTimerEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kLabelLine = RGB(64, 0, 0);
constexpr COLORREF kScaleText = RGB(192, 192, 255);

// A control with a 500 x 400 client area: 128 bars of pitch 3 from x = 58,
// each 361 rows high (top 11, bottom 372), so most levels are one row each.
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
    // A column inside bar `i`.
    int BarX(int i) const { return 58 + 3 * i; }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            ctrl->OnTimer();
    }
    QAction* FindAction(QMenu& menu, int id)
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

TEST_F(FftCtrlTest, FiveHundredPixelsGivePitchThreeFromColumn58)
{
    ASSERT_EQ(ctrl->ClientRect().Width(), 500);
    EXPECT_EQ(ctrl->Bar(0).Rect(), CRect(58, 11, 60, 372));
    EXPECT_EQ(ctrl->Bar(1).Rect(), CRect(61, 11, 63, 372));
    EXPECT_EQ(ctrl->Bar(127).Rect(), CRect(439, 11, 441, 372));

    ctrl->SetValue(32767, 0);
    EXPECT_EQ(Pixel(57, 200), kBlack);
    EXPECT_EQ(Pixel(58, 200), ctrl->Params().m_crNorm);
    EXPECT_EQ(Pixel(59, 200), ctrl->Params().m_crNorm);
    EXPECT_EQ(Pixel(60, 200), kBlack); // the gap
    EXPECT_EQ(Pixel(58, 12), ctrl->Params().m_crOver);
    EXPECT_EQ(Pixel(58, 11), kBlack);
}

TEST_F(FftCtrlTest, HeldBarFallsOnlyAfterALowerValueAtTheDecayRate)
{
    ctrl->SetValue(3276, 0);
    Ticks(4); // "Medium": a step every second tick, but the bar is held
    EXPECT_EQ(ctrl->Bar(0).Level(), 260u);
    ctrl->SetValue(0, 0);
    Ticks(4);
    EXPECT_EQ(ctrl->Bar(0).Level(), 256u); // two steps of 2 levels
    ctrl->OnCommand(fft::ID_FFT_DECAY_FAST);
    Ticks(4);
    EXPECT_EQ(ctrl->Bar(0).Level(), 248u);
}

TEST_F(FftCtrlTest, RelayedTimerEventWithIdOneIsATick)
{
    ctrl->OnCommand(fft::ID_FFT_DECAY_FAST);
    ctrl->SetValue(3276, 0);
    ctrl->SetValue(0, 0);
    QCoreApplication::postEvent(ctrl.get(), new QTimerEvent(fft::kTickTimerId));
    QCoreApplication::sendPostedEvents(ctrl.get(), QEvent::Timer);
    EXPECT_EQ(ctrl->Bar(0).Level(), 258u);
}

TEST_F(FftCtrlTest, PeakHoldAndPeakDecayExcludeEachOther)
{
    EXPECT_EQ(ctrl->GetPeakMode(), 2);
    ctrl->OnCommand(fft::ID_FFT_PEAK_HOLD);
    EXPECT_EQ(ctrl->Params().m_bPeakHold, 1);
    EXPECT_EQ(ctrl->Params().m_bPeakDecay, 0);
    EXPECT_EQ(ctrl->GetPeakMode(), 1);
    ctrl->OnCommand(fft::ID_FFT_PEAK_HOLD);
    EXPECT_EQ(ctrl->GetPeakMode(), 0);
    ctrl->OnCommand(fft::ID_FFT_PEAK_DECAY);
    EXPECT_EQ(ctrl->GetPeakMode(), 2);
}

TEST_F(FftCtrlTest, WithNoPeakModeNoLineIsDrawnButThePeakFollowsTheTop)
{
    ctrl->OnCommand(fft::ID_FFT_PEAK_DECAY); // both off
    ctrl->OnCommand(fft::ID_FFT_DECAY_FAST);
    ctrl->SetValue(3276, 0);
    EXPECT_EQ(ctrl->Bar(0).PeakY(), 112u);
    ctrl->SetValue(0, 0);
    Ticks(3); // 254: top row 118
    EXPECT_EQ(ctrl->Bar(0).PeakY(), 112u);
    for (int y = 11; y < 118; ++y)
        ASSERT_EQ(Pixel(BarX(0), y), kBlack) << "row " << y;
    ctrl->OnLButtonDown(0, 0);
    EXPECT_EQ(ctrl->Bar(0).PeakY(), 118u);
}

TEST_F(FftCtrlTest, ContextMenuShowsTheStateAndFreezesTheBarsWhileOpen)
{
    ctrl->SetValue(20000, -1);
    bool sawOpen = false;
    CFftCtrl::SetMenuRunner([&](QMenu& menu, const QPoint&) -> QAction* {
        sawOpen = ctrl->IsMenuOpen();
        EXPECT_TRUE(FindAction(menu, 410)->isChecked());  // "Medium"
        EXPECT_TRUE(FindAction(menu, 440)->isChecked());  // "Peak Decay"
        EXPECT_FALSE(FindAction(menu, 430)->isChecked()); // "Peak Hold"
        EXPECT_TRUE(FindAction(menu, 463)->isChecked());  // "Blackman"
        EXPECT_EQ(FindAction(menu, 463)->text(), QStringLiteral("Blackman"));
        EXPECT_TRUE(FindAction(menu, 470)->isChecked());  // "Left + Right"
        EXPECT_EQ(FindAction(menu, 473)->text(), QStringLiteral("Left - Right"));
        EXPECT_FALSE(FindAction(menu, 450)->isChecked()); // "On"
        EXPECT_EQ(FindAction(menu, 474)->text(), QStringLiteral("Colors..."));
        ctrl->SetValue(32767, 7); // ignored while the menu is up
        ctrl->OnTimer();
        return nullptr;
    });
    ctrl->OnContextMenu(QPoint(10, 10));
    EXPECT_TRUE(sawOpen);
    EXPECT_FALSE(ctrl->IsMenuOpen());
    // Closing without a choice drops every bar.
    for (unsigned i = 0; i < ctrl->BarCount(); ++i)
        ASSERT_EQ(ctrl->Bar(i).Level(), 0u) << "bar " << i;
    EXPECT_EQ(Pixel(BarX(7), 200), kBlack);
    EXPECT_EQ(ctrl->DecayTime(), 20);
}

TEST_F(FftCtrlTest, ChosenMenuItemsChangeTheOptions)
{
    int chosen = fft::ID_FFT_DECAY_SLOW;
    CFftCtrl::SetMenuRunner([&](QMenu& menu, const QPoint&) { return FindAction(menu, chosen); });
    ctrl->OnContextMenu(QPoint());
    EXPECT_EQ(ctrl->DecayTime(), 30);
    EXPECT_EQ(ctrl->GetDecayIndex(), 2);
    chosen = fft::ID_FFT_WINDOW_FIRST; // "Rectangular"
    ctrl->OnContextMenu(QPoint());
    EXPECT_EQ(ctrl->WindowType(), 0);
    EXPECT_EQ(ctrl->CaptureState().WindowType(), 0);
    chosen = fft::ID_FFT_INPUT_FIRST + 3; // "Left - Right"
    ctrl->OnContextMenu(QPoint());
    EXPECT_EQ(ctrl->InputMode(), 3);
    EXPECT_EQ(ctrl->CaptureState().InputMode(), 3);
}

TEST_F(FftCtrlTest, WindowChangeLetsTheBarsFall)
{
    ctrl->SetValue(20000, -1);
    EXPECT_EQ(ctrl->Bar(9).DecayStep(), 0);
    ctrl->SetWindowing(fft::kWindowHanning);
    EXPECT_EQ(ctrl->Bar(9).DecayStep(), 2);
    EXPECT_EQ(ctrl->Bar(9).Level(), ctrl->LevelTable().Level(20000)); // falling, not cleared
}

TEST_F(FftCtrlTest, StoredOptionsOutOfRangeReadAsDefaults)
{
    ctrl->SetWindowing(7);
    EXPECT_EQ(ctrl->WindowType(), fft::kWindowBlackman);
    ctrl->SetWindowing(-2);
    EXPECT_EQ(ctrl->CaptureState().WindowType(), fft::kWindowBlackman);
    ctrl->SetInputMode(4);
    EXPECT_EQ(ctrl->InputMode(), fft::kInputLeftPlusRight);
    ctrl->SetInputMode(-1);
    EXPECT_EQ(ctrl->CaptureState().InputMode(), fft::kInputLeftPlusRight);
}

TEST_F(FftCtrlTest, FrequencyLabelsStartAtBarTwoAt44100)
{
    EXPECT_EQ(ctrl->FirstLabelledBar(), 2);
    // The dark red line sits in the gap left of each labelled bar.
    EXPECT_EQ(Pixel(BarX(2) - 1, 200), kLabelLine);
    EXPECT_EQ(Pixel(BarX(1) - 1, 200), kBlack);
    EXPECT_EQ(Pixel(BarX(126) - 1, 200), kLabelLine);
    EXPECT_EQ(Pixel(BarX(127) - 1, 200), kBlack);
    EXPECT_EQ(Pixel(BarX(2) - 1, 11 + 2), kBlack); // the line starts 3 rows below the top
    EXPECT_EQ(Pixel(BarX(2) - 1, 11 + 3), kLabelLine);
    // Label text below the bar, written upwards in the scale text colour.
    bool text = false;
    for (int x = BarX(2) - 6; x < BarX(2) + 5; ++x)
        for (int y = 372 + 3; y < 372 + 26; ++y)
            text |= Pixel(x, y) == kScaleText;
    EXPECT_TRUE(text);
}

TEST_F(FftCtrlTest, At48000TheLabelsStartOneBarLeftAndTheCaptionSaysSo)
{
    const QImage before = ctrl->BackBuffer().copy(250 - 15, 0, 60, 11);
    ctrl->SetValue(20000, -1);
    ctrl->SetSampleRate(48000);
    QCoreApplication::processEvents();
    EXPECT_EQ(ctrl->SampleRate(), 48000);
    EXPECT_EQ(ctrl->Bar(40).Level(), 0u);
    EXPECT_EQ(ctrl->FirstLabelledBar(), 1);
    EXPECT_EQ(Pixel(BarX(1) - 1, 200), kLabelLine);
    EXPECT_EQ(Pixel(BarX(2) - 1, 200), kBlack);
    EXPECT_EQ(Pixel(BarX(125) - 1, 200), kLabelLine);

    // The caption: "48000Hz" as the drawing context writes it there.
    CDrawContext expected;
    expected.Resize(500, 400);
    expected.SelectFont(ctrl->NormalFont());
    expected.SetBkColor(kBlack);
    expected.SetTextColor(kScaleText);
    const CRect rc(235, -1, 295, 15);
    expected.ExtTextOut(235, -1, ETO_CLIPPED, &rc, QStringLiteral("48000Hz"));
    // Rows 0..10: row 12 carries the 0 dB grid line.
    const QImage after = ctrl->BackBuffer().copy(235, 0, 60, 11);
    EXPECT_EQ(after, expected.Image().copy(235, 0, 60, 11));
    EXPECT_NE(after, before);
}

TEST_F(FftCtrlTest, LowControlsUseTheSmallFont)
{
    EXPECT_EQ(ctrl->Dc().SelectedFont(), ctrl->NormalFont());
    ctrl->resize(502, 249 + 2);
    ctrl->PaintNow();
    EXPECT_EQ(ctrl->Dc().SelectedFont(), ctrl->SmallFont());
    ctrl->resize(502, 250 + 2);
    ctrl->PaintNow();
    EXPECT_EQ(ctrl->Dc().SelectedFont(), ctrl->NormalFont());
}

TEST_F(FftCtrlTest, SuspensionSwitchesOffAndRestoresTheOnState)
{
    ctrl->SetOn(1);
    EXPECT_TRUE(ctrl->CaptureState().IsOn());
    ctrl->NotifyMinimized(1);
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_FALSE(ctrl->CaptureState().IsOn());
    EXPECT_EQ(frame.m_meterOnCalls.back(), 0);
    ctrl->NotifyMinimized(0);
    EXPECT_EQ(ctrl->IsOn(), 1);
    EXPECT_EQ(frame.m_meterOnCalls.back(), 1);
    ctrl->NotifyMinimized(0); // a restore without a suspension changes nothing
    EXPECT_EQ(ctrl->IsOn(), 1);
    // A choice made while suspended waits for the resume.
    ctrl->NotifyMinimized(1);
    ctrl->SetOn(0);
    EXPECT_EQ(ctrl->IsSwitchedOn(), 0);
    ctrl->SetOn(1);
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_FALSE(ctrl->CaptureState().IsOn());
    EXPECT_EQ(ctrl->IsSwitchedOn(), 1);
    ctrl->NotifyMinimized(0);
    EXPECT_EQ(ctrl->IsOn(), 1);
}

TEST_F(FftCtrlTest, ColourDialogOffersTheAnalyzerTableAndAppliesItsChoiceCancelChangesNothing)
{
    ctrl->SetOn(1);
    ctrl->SetValue(20000, -1);
    CColorSettingsDlg::SetModalRunner([](CColorSettingsDlg& dlg) {
        dlg.m_crOver = RGB(9, 9, 9);
        dlg.OnCancel();
        return dlg.Result();
    });
    ctrl->OnCommand(fft::ID_FFT_COLORS);
    EXPECT_EQ(ctrl->Params().m_crOver, RGB(255, 0, 0));
    EXPECT_EQ(ctrl->Bar(3).Level(), ctrl->LevelTable().Level(20000));
    int templateId = 0;
    QString firstOver, firstTween, selectedOver, selectedTween;
    CColorSettingsDlg::SetModalRunner([&](CColorSettingsDlg& dlg) {
        templateId = dlg.TemplateId();
        firstOver = dlg.OverCombo()->itemText(0);
        firstTween = dlg.TweenCombo()->itemText(0);
        selectedOver = dlg.OverCombo()->currentText();
        selectedTween = dlg.TweenCombo()->currentText();
        dlg.OverCombo()->setCurrentIndex(2);   // "-6 db"
        dlg.TweenCombo()->setCurrentIndex(13); // "-30 db"
        dlg.m_crNorm = RGB(1, 2, 3);
        dlg.OnOK();
        return dlg.Result();
    });
    ctrl->OnCommand(fft::ID_FFT_COLORS);
    CColorSettingsDlg::SetModalRunner({});
    EXPECT_EQ(templateId, 146);
    EXPECT_EQ(firstOver, QStringLiteral("-2 db"));
    EXPECT_EQ(firstTween, QStringLiteral("-4 db"));
    EXPECT_EQ(selectedOver, QStringLiteral("-10 db"));
    EXPECT_EQ(selectedTween, QStringLiteral("-20 db"));
    EXPECT_EQ(ctrl->Params().m_nOverPoint, 330u);
    EXPECT_EQ(ctrl->Params().m_nTweenPoint, 210u);
    EXPECT_EQ(ctrl->Params().m_crNorm, RGB(1, 2, 3));
    EXPECT_EQ(ctrl->Bar(3).Level(), 0u);
    EXPECT_EQ(ctrl->IsOn(), 1);
}

TEST_F(FftCtrlTest, EveryFrequencyLabelFitsUnderTheBars)
{
    const QFontMetrics fm(ctrl->LabelFont());
    for (const char* label : fft::kFrequencyLabels)
        EXPECT_LE(fm.horizontalAdvance(QString::fromLatin1(label)), 28 - 3) << label;
}
