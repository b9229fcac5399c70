// The bar meters' colour dialog: its lists, the threshold check and the
// scale steps the chosen thresholds become, and the colour swatches.
#include "meters/common/ColorSettingsDlg.h"
#include "platform/Notices.h"

#include <QComboBox>
#include <gtest/gtest.h>

#include <memory>

namespace {
// The peak meter's scale as the dialog sees it: label and step of its 29 positions.
const char* const kPpmLabels[29] = { "0", "-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10", "-11", "-12",
    "-13", "-14", "-15", "-16", "-17", "-18", "-19", "-20", "-25", "-30", "-35", "-40", "-50", "-60", "", "" };
const std::uint32_t kPpmSteps[29] = { 360, 350, 340, 330, 320, 310, 300, 290, 280, 270, 260, 250, 240, 230, 220, 210,
    200, 190, 180, 170, 160, 135, 110, 85, 60, 40, 20, 10, 3 };
const COLORREF kGreen = RGB(0, 192, 0), kYellow = RGB(255, 255, 0), kRed = RGB(255, 0, 0);

std::unique_ptr<CColorSettingsDlg> OpenPpm(std::uint32_t tween = 300, std::uint32_t over = 350)
{
    auto dlg = std::make_unique<CColorSettingsDlg>(CColorSettingsDlg::kTemplatePpm);
    std::tie(dlg->m_crNorm, dlg->m_crTween, dlg->m_crOver) = std::tuple(kGreen, kYellow, kRed);
    std::tie(dlg->m_nTweenPoint, dlg->m_nOverPoint) = std::pair(tween, over);
    dlg->SetScale(kPpmLabels, kPpmSteps, 29);
    dlg->OnInitDialog();
    return dlg;
}
void Select(QComboBox* combo, const char* text) { combo->setCurrentIndex(combo->findText(QString::fromLatin1(text))); }
}

// The over threshold must lie above the tween threshold; the chosen decibels
// become peak meter scale steps (-5 dB is step 310, -6 dB step 300).
TEST(ColorSettingsDlg, ThresholdsAreAcceptedOnlyInOrder)
{
    // Points the dialog opens with, then chosen (nullptr: left as opened), then the outcome.
    const struct {
        std::uint32_t tweenIn, overIn;
        const char *over, *tween;
        bool accepted;
        unsigned overPt, tweenPt;
    } cases[] = {
        { 260, 340, "-10 db", "-3 db", false, 340, 260 }, { 260, 340, "-7 db", "-7 db", false, 340, 260 },
        { 260, 340, "-5 db", "-6 db", true, 310, 300 }, { 260, 340, "-1 db", "-20 db", true, 350, 160 },
        { 260, 340, "-10 db", "-11 db", true, 260, 250 },
        { 300, 355, nullptr, nullptr, true, 360, 300 }, // no over selected: reads as 0 dB, the top of the scale
        { 305, 350, nullptr, nullptr, false, 350, 305 }, // no tween selected: always refused
        { 305, 360, nullptr, nullptr, false, 360, 305 }, // 360 is not offered as an over threshold
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tweenIn << "/" << c.overIn << " " << (c.over ? c.over : "-"));
        CNoticeRecorder notices;
        auto dlg = OpenPpm(c.tweenIn, c.overIn);
        if (c.over) {
            Select(dlg->OverCombo(), c.over);
            Select(dlg->TweenCombo(), c.tween);
        }
        dlg->OnOK();
        EXPECT_EQ(dlg->Result() == CColorSettingsDlg::IDOK, c.accepted);
        ASSERT_EQ(notices.Notices().size(), c.accepted ? 0u : 1u);
        EXPECT_EQ(std::pair(dlg->m_nOverPoint, dlg->m_nTweenPoint), std::pair(c.overPt, c.tweenPt));
    }
}

TEST(ColorSettingsDlg, LeadingNumberOfAListText)
{
    const struct { const char* text; int value; } rows[] = { { "-3 db", -3 }, { "-10 db", -10 }, { "", 0 },
        { "  12x", 12 }, { "\t+7", 7 }, { "db", 0 }, { "- 5", 0 } };
    for (const auto& row : rows)
        EXPECT_EQ(CColorSettingsDlg::LeadingInt(QString::fromLatin1(row.text)), row.value) << row.text;
}
