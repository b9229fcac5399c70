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
        CColorSettingsDlg& dlg = *owner;
        dlg.m_crNorm = kGreen;
        dlg.m_crTween = kYellow;
        dlg.m_crOver = kRed;
        dlg.m_nTweenPoint = tween;
        dlg.m_nOverPoint = over;
        dlg.SetScale(kPpmLabels, kPpmSteps, 29);
        dlg.OnInitDialog();
    }
    static void Select(QComboBox* combo, const char* text) { combo->setCurrentIndex(combo->findText(QString::fromLatin1(text))); }

    std::unique_ptr<CColorSettingsDlg> owner;
    CColorSettingsDlg& dlg() { return *owner; }
    CNoticeRecorder notices;
};
}

TEST_F(ColorSettingsDlgTest, ListsOfferOverOneToTenAndTweenTwoToTwenty)
{
    OpenPpm();
    EXPECT_EQ(dlg().windowTitle(), QStringLiteral("Peak Meter Color Settings"));
    EXPECT_EQ(dlg().OverCombo()->currentText(), QStringLiteral("-1 db"));
    EXPECT_EQ(dlg().TweenCombo()->currentText(), QStringLiteral("-6 db"));
    ASSERT_EQ(dlg().OverCombo()->count(), 10);
    EXPECT_EQ(dlg().OverCombo()->itemText(9), QStringLiteral("-10 db"));
    ASSERT_EQ(dlg().TweenCombo()->count(), 19);
    EXPECT_EQ(dlg().TweenCombo()->itemText(0), QStringLiteral("-2 db"));
    EXPECT_EQ(dlg().TweenCombo()->itemText(18), QStringLiteral("-20 db"));
    EXPECT_EQ(dlg().Swatch(CColorSettingsDlg::kIdSwatchNorm)->Color(), kGreen);
    EXPECT_EQ(dlg().Swatch(CColorSettingsDlg::kIdSwatchTween)->Color(), kYellow);
    EXPECT_EQ(dlg().Swatch(CColorSettingsDlg::kIdSwatchOver)->Color(), kRed);
}

// The over threshold must lie above the tween threshold; the chosen decibels
// become peak meter scale steps (-5 dB is step 310, -6 dB step 300).
TEST_F(ColorSettingsDlgTest, ThresholdsAreAcceptedOnlyInOrder)
{
    const struct {
        std::uint32_t tweenIn, overIn; // points the dialog opens with
        const char *over, *tween;      // then chosen (nullptr: left as opened)
        bool accepted;
        unsigned overPoint, tweenPoint;
    } cases[] = {
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
        if (!c.accepted) {
            EXPECT_EQ(notices.Notices()[0].text, QStringLiteral("Overlapping Threshold!"));
        }
        EXPECT_EQ(dlg().m_nOverPoint, c.overPoint);
        EXPECT_EQ(dlg().m_nTweenPoint, c.tweenPoint);
    }
    OpenPpm(305, 360);
    EXPECT_EQ(dlg().OverCombo()->currentIndex(), -1) << "points that are no list entry select nothing";
    EXPECT_EQ(dlg().TweenCombo()->currentIndex(), -1);
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
    EXPECT_EQ(dlg().m_crTween, kYellow);
    EXPECT_EQ(dlg().Swatch(CColorSettingsDlg::kIdSwatchTween)->Color(), kYellow);
    CColorSettingsDlg::SetColorChooser([](COLORREF& color) {
        color = RGB(10, 20, 30);
        return true;
    });
    dlg().OnSwatchClicked(CColorSettingsDlg::kIdSwatchOver);
    EXPECT_EQ(dlg().m_crOver, RGB(10, 20, 30));
    EXPECT_EQ(dlg().Swatch(CColorSettingsDlg::kIdSwatchOver)->Color(), RGB(10, 20, 30));
    EXPECT_EQ(dlg().m_crNorm, kGreen);
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

    const struct {
        const char* text;
        int value;
    } rows[] = { { "-3 db", -3 }, { "-10 db", -10 }, { "", 0 }, { "  12x", 12 }, { "\t+7", 7 }, { "db", 0 }, { "- 5", 0 } };
    for (const auto& row : rows)
        EXPECT_EQ(CColorSettingsDlg::LeadingInt(QString::fromLatin1(row.text)), row.value) << row.text;
}
