// The bar meters' colour dialog: its lists, the threshold check and the
// scale steps the chosen thresholds become, and the colour swatches.
#include "meters/common/ColorSettingsDlg.h"
#include "meters/common/ColorSwatch.h"
#include "platform/Notices.h"

#include <QComboBox>
#include <gtest/gtest.h>

#include <memory>

namespace {
// The peak meter's scale as the dialog sees it: label and step of its 29 positions.
const char* const kPpmLabels[29] = { "0", "-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10", "-11", "-12", "-13",
    "-14", "-15", "-16", "-17", "-18", "-19", "-20", "-25", "-30", "-35", "-40", "-50", "-60", "", "" };
const std::uint32_t kPpmSteps[29] = { 360, 350, 340, 330, 320, 310, 300, 290, 280, 270, 260, 250, 240, 230, 220, 210, 200,
    190, 180, 170, 160, 135, 110, 85, 60, 40, 20, 10, 3 };
const COLORREF kGreen = RGB(0, 192, 0), kYellow = RGB(255, 255, 0), kRed = RGB(255, 0, 0);

class ColorSettingsDlgTest : public ::testing::Test {
protected:
    void OpenPpm(std::uint32_t tween = 300, std::uint32_t over = 350)
    {
        owner = std::make_unique<CColorSettingsDlg>(CColorSettingsDlg::kTemplatePpm);
        std::tie(dlg().m_crNorm, dlg().m_crTween, dlg().m_crOver, dlg().m_nTweenPoint, dlg().m_nOverPoint) = std::tuple(kGreen, kYellow, kRed, tween, over);
        dlg().SetScale(kPpmLabels, kPpmSteps, 29);
        dlg().OnInitDialog();
    }
    static void Select(QComboBox* combo, const char* text) { combo->setCurrentIndex(combo->findText(QString::fromLatin1(text))); }

    std::unique_ptr<CColorSettingsDlg> owner;
    CColorSettingsDlg& dlg() { return *owner; }
    COLORREF Color(int swatch) { return dlg().Swatch(swatch)->Color(); }
    CNoticeRecorder notices;
};
}

TEST_F(ColorSettingsDlgTest, ListsOfferOverOneToTenAndTweenTwoToTwenty)
{
    OpenPpm();
    QComboBox *over = dlg().OverCombo(), *tween = dlg().TweenCombo();
    EXPECT_EQ(dlg().windowTitle(), QStringLiteral("Peak Meter Color Settings"));
    EXPECT_EQ(std::tuple(over->currentText(), over->count(), over->itemText(0), over->itemText(9)), std::tuple(QStringLiteral("-1 db"), 10, QStringLiteral("-1 db"), QStringLiteral("-10 db")));
    EXPECT_EQ(std::tuple(tween->currentText(), tween->count(), tween->itemText(0), tween->itemText(18)), std::tuple(QStringLiteral("-6 db"), 19, QStringLiteral("-2 db"), QStringLiteral("-20 db")));
    EXPECT_EQ(std::tuple(Color(CColorSettingsDlg::kIdSwatchNorm), Color(CColorSettingsDlg::kIdSwatchTween), Color(CColorSettingsDlg::kIdSwatchOver)), std::tuple(kGreen, kYellow, kRed));
}

// The over threshold must lie above the tween threshold; the chosen decibels
// become peak meter scale steps (-5 dB is step 310, -6 dB step 300).
TEST_F(ColorSettingsDlgTest, ThresholdsAreAcceptedOnlyInOrder)
{
    // Points the dialog opens with, then chosen (nullptr: left as opened), then the outcome.
    const struct { std::uint32_t tweenIn, overIn; const char *over, *tween; bool accepted; unsigned overPoint, tweenPoint; } cases[] = {
        { 260, 340, "-10 db", "-3 db", false, 340, 260 }, { 260, 340, "-7 db", "-7 db", false, 340, 260 },
        { 260, 340, "-5 db", "-6 db", true, 310, 300 }, { 260, 340, "-1 db", "-20 db", true, 350, 160 },
        { 260, 340, "-10 db", "-11 db", true, 260, 250 },
        { 300, 355, nullptr, nullptr, true, 360, 300 }, // no over selected: reads as 0 dB, the top of the scale
        { 305, 350, nullptr, nullptr, false, 350, 305 }, // no tween selected: always refused
        { 305, 360, nullptr, nullptr, false, 360, 305 }, // 360 is not offered as an over threshold
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tweenIn << "/" << c.overIn << " " << (c.over ? c.over : "-") << " over " << (c.tween ? c.tween : "-"));
        notices.Clear();
        OpenPpm(c.tweenIn, c.overIn);
        if (c.over) {
            Select(dlg().OverCombo(), c.over);
            Select(dlg().TweenCombo(), c.tween);
        }
        dlg().OnOK();
        EXPECT_EQ(dlg().Result() == CColorSettingsDlg::IDOK, c.accepted);
        ASSERT_EQ(notices.Notices().size(), c.accepted ? 0u : 1u);
        if (!c.accepted) { EXPECT_EQ(notices.Notices()[0].text, QStringLiteral("Overlapping Threshold!")); }
        EXPECT_EQ(std::pair(dlg().m_nOverPoint, dlg().m_nTweenPoint), std::pair(c.overPoint, c.tweenPoint));
    }
    OpenPpm(305, 360);
    EXPECT_EQ(std::pair(dlg().OverCombo()->currentIndex(), dlg().TweenCombo()->currentIndex()), std::pair(-1, -1)) << "points that are no list entry select nothing";
}

TEST_F(ColorSettingsDlgTest, ChosenColourIsKeptCancelledChooserChangesNothing)
{
    OpenPpm();
    auto previous = CColorSettingsDlg::SetColorChooser([](COLORREF& color) {
        EXPECT_EQ(color, kYellow) << "the swatch's colour is preselected";
        color = RGB(10, 20, 30);
        return false;
    });
    dlg().OnSwatchClicked(CColorSettingsDlg::kIdSwatchTween);
    EXPECT_EQ(std::pair(dlg().m_crTween, Color(CColorSettingsDlg::kIdSwatchTween)), std::pair(kYellow, kYellow));
    CColorSettingsDlg::SetColorChooser([](COLORREF& color) {
        color = RGB(10, 20, 30);
        return true;
    });
    dlg().OnSwatchClicked(CColorSettingsDlg::kIdSwatchOver);
    EXPECT_EQ(std::tuple(dlg().m_crOver, Color(CColorSettingsDlg::kIdSwatchOver), dlg().m_crNorm), std::tuple(RGB(10, 20, 30), RGB(10, 20, 30), kGreen));
    CColorSettingsDlg::SetColorChooser(previous);

    auto runner = CColorSettingsDlg::SetModalRunner([](CColorSettingsDlg& d) {
        d.OverCombo()->setCurrentIndex(4);
        d.OnCancel();
        return d.Result();
    });
    EXPECT_EQ(dlg().DoModal(), CColorSettingsDlg::IDCANCEL);
    EXPECT_EQ(dlg().m_nOverPoint, 350u) << "cancel writes nothing";
    CColorSettingsDlg::SetModalRunner(runner);
}

TEST(ColorSettingsDlgText, CaptionOfEachTemplateAndLeadingNumberOfAListText)
{
    EXPECT_EQ(CColorSettingsDlg(CColorSettingsDlg::kTemplateAnalyzer).windowTitle(), QStringLiteral("Analyzer Color Settings"));

    const struct { const char* text; int value; } rows[] = { { "-3 db", -3 }, { "-10 db", -10 }, { "", 0 }, { "  12x", 12 }, { "\t+7", 7 }, { "db", 0 }, { "- 5", 0 } };
    for (const auto& row : rows) EXPECT_EQ(CColorSettingsDlg::LeadingInt(QString::fromLatin1(row.text)), row.value) << row.text;
}
