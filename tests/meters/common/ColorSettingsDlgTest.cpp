#include "meters/common/ColorSettingsDlg.h"
#include "meters/common/ColorSwatch.h"
#include "platform/Notices.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {
// The peak meter's scale positions as the dialog sees them: dialog label and
// scale step of each of its 29 positions.
const char* const kPpmLabels[29] = { "0", "-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10", "-11", "-12",
    "-13", "-14", "-15", "-16", "-17", "-18", "-19", "-20", "-25", "-30", "-35", "-40", "-50", "-60", "", "" };
const std::uint32_t kPpmSteps[29] = { 360, 350, 340, 330, 320, 310, 300, 290, 280, 270, 260, 250, 240, 230, 220, 210,
    200, 190, 180, 170, 160, 135, 110, 85, 60, 40, 20, 10, 3 };

const COLORREF kGreen = RGB(0, 192, 0);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);

class ColorSettingsDlgTest : public ::testing::Test {
protected:
    // A dialog as the peak meter opens it with its first-run values.
    void OpenPpm(std::uint32_t tween = 300, std::uint32_t over = 350)
    {
        dlg.m_crNorm = kGreen;
        dlg.m_crTween = kYellow;
        dlg.m_crOver = kRed;
        dlg.m_nTweenPoint = tween;
        dlg.m_nOverPoint = over;
        dlg.SetScale(kPpmLabels, kPpmSteps, 29);
        dlg.OnInitDialog();
    }
    void SelectText(QComboBox* combo, const QString& text)
    {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
    }

    CColorSettingsDlg dlg { CColorSettingsDlg::kTemplatePpm };
    CNoticeRecorder notices;
};
}

TEST_F(ColorSettingsDlgTest, PpmDefaultsSelectMinusOneAndMinusSix)
{
    OpenPpm();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Peak Meter Color Settings"));
    EXPECT_EQ(dlg.OverCombo()->currentText(), QStringLiteral("-1 db"));
    EXPECT_EQ(dlg.TweenCombo()->currentText(), QStringLiteral("-6 db"));
    EXPECT_EQ(dlg.Swatch(CColorSettingsDlg::kIdSwatchNorm)->Color(), kGreen);
    EXPECT_EQ(dlg.Swatch(CColorSettingsDlg::kIdSwatchTween)->Color(), kYellow);
    EXPECT_EQ(dlg.Swatch(CColorSettingsDlg::kIdSwatchOver)->Color(), kRed);
}

TEST_F(ColorSettingsDlgTest, ListsOfferOverOneToTenAndTweenTwoToTwenty)
{
    OpenPpm();
    ASSERT_EQ(dlg.OverCombo()->count(), 10);
    EXPECT_EQ(dlg.OverCombo()->itemText(0), QStringLiteral("-1 db"));
    EXPECT_EQ(dlg.OverCombo()->itemText(9), QStringLiteral("-10 db"));
    ASSERT_EQ(dlg.TweenCombo()->count(), 19);
    EXPECT_EQ(dlg.TweenCombo()->itemText(0), QStringLiteral("-2 db"));
    EXPECT_EQ(dlg.TweenCombo()->itemText(18), QStringLiteral("-20 db"));
}

TEST_F(ColorSettingsDlgTest, EqualThresholdsAreRefusedAndNothingIsWritten)
{
    OpenPpm();
    SelectText(dlg.OverCombo(), QStringLiteral("-6 db"));
    SelectText(dlg.TweenCombo(), QStringLiteral("-6 db"));
    dlg.OnOK();
    ASSERT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(notices.Notices()[0].text, QStringLiteral("Overlapping Threshold!"));
    EXPECT_EQ(notices.Notices()[0].icon, NoticeIcon::Error);
    EXPECT_EQ(dlg.Result(), 0) << "the dialog stays open";
    EXPECT_EQ(dlg.m_nOverPoint, 350u);
    EXPECT_EQ(dlg.m_nTweenPoint, 300u);
}

// The over threshold must lie above the tween threshold; the chosen
// decibels become PPM scale steps (-5 dB is step 310, -6 dB step 300).
TEST_F(ColorSettingsDlgTest, ThresholdChoicesAreAcceptedOnlyInOrder)
{
    struct Case {
        const char* over;
        const char* tween;
        bool accepted;
        unsigned overPoint;
        unsigned tweenPoint;
    };
    const Case cases[] = {
        { "-10 db", "-3 db", false, 340, 260 },
        { "-7 db", "-7 db", false, 340, 260 },
        { "-5 db", "-6 db", true, 310, 300 },
        { "-1 db", "-20 db", true, 350, 160 },
    };
    for (const Case& c : cases) {
        notices.Clear();
        OpenPpm(260, 340);
        SelectText(dlg.OverCombo(), QString::fromLatin1(c.over));
        SelectText(dlg.TweenCombo(), QString::fromLatin1(c.tween));
        dlg.OnOK();
        EXPECT_EQ(dlg.Result() == CColorSettingsDlg::IDOK, c.accepted) << c.over << " over " << c.tween;
        EXPECT_EQ(notices.Notices().size(), c.accepted ? 0u : 1u) << c.over;
        EXPECT_EQ(dlg.m_nOverPoint, c.overPoint) << c.over;
        EXPECT_EQ(dlg.m_nTweenPoint, c.tweenPoint) << c.tween;
    }
}

TEST_F(ColorSettingsDlgTest, RefusalCanBeCorrectedAndThenAccepted)
{
    OpenPpm();
    SelectText(dlg.OverCombo(), QStringLiteral("-8 db"));
    SelectText(dlg.TweenCombo(), QStringLiteral("-8 db"));
    dlg.OnOK();
    SelectText(dlg.TweenCombo(), QStringLiteral("-20 db"));
    dlg.OnOK();
    EXPECT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(dlg.Result(), CColorSettingsDlg::IDOK);
    EXPECT_EQ(dlg.m_nOverPoint, 280u);
    EXPECT_EQ(dlg.m_nTweenPoint, 160u);
}

TEST_F(ColorSettingsDlgTest, UnknownPointsSelectNothing)
{
    // 355 and 305 are no scale positions; 360 (position 0) is not offered as an over threshold.
    OpenPpm(305, 360);
    EXPECT_EQ(dlg.OverCombo()->currentIndex(), -1);
    EXPECT_EQ(dlg.TweenCombo()->currentIndex(), -1);
}

TEST_F(ColorSettingsDlgTest, EmptyOverListReadsAsZeroDbAndGivesTheTopOfTheScale)
{
    OpenPpm(300, 355);
    ASSERT_EQ(dlg.OverCombo()->currentIndex(), -1);
    dlg.OnOK();
    EXPECT_TRUE(notices.Notices().empty());
    EXPECT_EQ(dlg.Result(), CColorSettingsDlg::IDOK);
    EXPECT_EQ(dlg.m_nOverPoint, 360u);
    EXPECT_EQ(dlg.m_nTweenPoint, 300u);
}

TEST_F(ColorSettingsDlgTest, EmptyTweenListIsAlwaysRefused)
{
    OpenPpm(305, 350);
    dlg.OnOK();
    EXPECT_EQ(notices.Notices().size(), 1u);
    EXPECT_EQ(dlg.Result(), 0);
}

TEST_F(ColorSettingsDlgTest, ChosenColourIsKeptCancelledChooserChangesNothing)
{
    OpenPpm();
    auto previous = CColorSettingsDlg::SetColorChooser([](COLORREF& color) {
        EXPECT_EQ(color, kYellow) << "the swatch's colour is preselected";
        color = RGB(10, 20, 30);
        return false;
    });
    dlg.OnSwatchClicked(CColorSettingsDlg::kIdSwatchTween);
    EXPECT_EQ(dlg.m_crTween, kYellow);
    EXPECT_EQ(dlg.Swatch(CColorSettingsDlg::kIdSwatchTween)->Color(), kYellow);

    CColorSettingsDlg::SetColorChooser([](COLORREF& color) {
        color = RGB(10, 20, 30);
        return true;
    });
    dlg.OnSwatchClicked(CColorSettingsDlg::kIdSwatchOver);
    EXPECT_EQ(dlg.m_crOver, RGB(10, 20, 30));
    EXPECT_EQ(dlg.Swatch(CColorSettingsDlg::kIdSwatchOver)->Color(), RGB(10, 20, 30));
    EXPECT_EQ(dlg.m_crNorm, kGreen);
    CColorSettingsDlg::SetColorChooser(previous);
}

TEST_F(ColorSettingsDlgTest, DoModalRunsInitialisationAndReportsCancel)
{
    dlg.m_nTweenPoint = 300;
    dlg.m_nOverPoint = 350;
    dlg.SetScale(kPpmLabels, kPpmSteps, 29);
    auto previous = CColorSettingsDlg::SetModalRunner([](CColorSettingsDlg& d) {
        EXPECT_EQ(d.OverCombo()->count(), 10);
        d.OverCombo()->setCurrentIndex(4);
        d.OnCancel();
        return d.Result();
    });
    EXPECT_EQ(dlg.DoModal(), CColorSettingsDlg::IDCANCEL);
    EXPECT_EQ(dlg.m_nOverPoint, 350u);
    EXPECT_EQ(dlg.m_nTweenPoint, 300u);
    CColorSettingsDlg::SetModalRunner(previous);
}

TEST_F(ColorSettingsDlgTest, AnalyzerTemplateUsesItsOwnTable)
{
    // A table in the analyzer's manner: its own labels and steps, 37 entries.
    std::vector<std::string> texts;
    std::vector<const char*> labels;
    std::vector<std::uint32_t> steps;
    for (int i = 0; i < 37; ++i) {
        texts.push_back(std::to_string(-2 * i));
        steps.push_back(static_cast<std::uint32_t>(360 - 8 * i));
    }
    for (const std::string& t : texts)
        labels.push_back(t.c_str());
    CColorSettingsDlg analyzer(CColorSettingsDlg::kTemplateAnalyzer);
    EXPECT_EQ(analyzer.windowTitle(), QStringLiteral("Analyzer Color Settings"));
    analyzer.m_nOverPoint = 360 - 8 * 3;
    analyzer.m_nTweenPoint = 360 - 8 * 10;
    analyzer.SetScale(labels.data(), steps.data(), 37);
    analyzer.OnInitDialog();
    EXPECT_EQ(analyzer.OverCombo()->count(), 10);
    EXPECT_EQ(analyzer.OverCombo()->currentText(), QStringLiteral("-6 db"));
    EXPECT_EQ(analyzer.TweenCombo()->count(), 19);
    EXPECT_EQ(analyzer.TweenCombo()->currentText(), QStringLiteral("-20 db"));
    EXPECT_EQ(analyzer.TweenCombo()->itemText(18), QStringLiteral("-40 db"));
    analyzer.TweenCombo()->setCurrentIndex(0); // "-4 db", position 2
    analyzer.OverCombo()->setCurrentIndex(0);  // "-2 db", position 1
    analyzer.OnOK();
    EXPECT_EQ(analyzer.Result(), CColorSettingsDlg::IDOK);
    EXPECT_EQ(analyzer.m_nOverPoint, 352u);
    EXPECT_EQ(analyzer.m_nTweenPoint, 344u);
}

TEST(ColorSettingsDlgText, LeadingNumberOfAListText)
{
    EXPECT_EQ(CColorSettingsDlg::LeadingInt(QStringLiteral("-3 db")), -3);
    EXPECT_EQ(CColorSettingsDlg::LeadingInt(QStringLiteral("-10 db")), -10);
    EXPECT_EQ(CColorSettingsDlg::LeadingInt(QString()), 0);
    EXPECT_EQ(CColorSettingsDlg::LeadingInt(QStringLiteral("  12x")), 12);
    EXPECT_EQ(CColorSettingsDlg::LeadingInt(QStringLiteral("db")), 0);
}
