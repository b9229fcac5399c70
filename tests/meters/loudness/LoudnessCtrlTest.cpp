#include "meters/loudness/LoudnessCtrl.h"
#include "meters/loudness/LoudnessFeed.h"
#include "tests/common/MeterPixels.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <cmath>

namespace {

class LoudnessCtrlTest : public ::testing::Test {
protected:
    LoudnessCtrlTest()
    {
        ctrl.Create(0, 0, 220, 360, lud::kCtrlId);
        ctrl.PaintNow();
    }

    COLORREF Pixel(int x, int y) { return ctrl.Dc().GetPixel(x, y); }
    int MidX(const CRect& rc) const { return (rc.left + rc.right) / 2; }

    bool RowHasColor(int row, COLORREF color) { return CountPixels(ctrl.Dc(), ctrl.ReadoutRow(row), color) > 0; }

    static CLoudnessSnapshot Reading(float momentary, float truePeakLeftDb, float truePeakRightDb)
    {
        CLoudnessSnapshot r;
        r.valid = CLoudnessSnapshot::kMomentary | CLoudnessSnapshot::kIntegrated;
        r.momentary = r.integrated = momentary;
        for (int c : { 0, 1 }) r.truePeak[c] = static_cast<float>(std::pow(10.0, (c ? truePeakRightDb : truePeakLeftDb) / 20.0));
        return r;
    }

    CLoudnessCtrl ctrl;
};

// Target -23 LUFS on the EBU +9 scale (-18..+9 LU); a lost input empties the
// momentary bar at once, the integrated reading stays.
TEST_F(LoudnessCtrlTest, MomentaryBarRisesInTheZoneColoursAndALostInputEmptiesIt)
{
    const struct { float momentary; bool greenAtBottom, yellowAboveTarget; } rows[] = {
        { -50.0f, false, false }, { -20.0f, true, true }, { -23.0f, true, false } };
    const CRect bar = ctrl.MomentaryBar();
    const int target = ctrl.RowOfLu(0.0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.momentary);
        ctrl.ShowReading(Reading(row.momentary, -10.0f, -10.0f));
        EXPECT_EQ(std::pair(Pixel(MidX(bar), bar.bottom - 1) == lud::kBelowTargetColor, Pixel(MidX(bar), target - 2) == lud::kAboveTargetColor),
            std::pair(row.greenAtBottom, row.yellowAboveTarget));
        EXPECT_EQ(std::pair(Pixel(MidX(bar), bar.top), Pixel(bar.left - 1, target)), std::pair(lud::kBlack, lud::kTargetMarkColor));
    }
    ctrl.ShowReading(Reading(-14.0f, -10.0f, -10.0f));
    // +9 LU, the scale's top, fills the bar up to its first row and not beyond.
    EXPECT_EQ(std::pair(Pixel(MidX(bar), bar.top - 1), Pixel(MidX(bar), bar.top)), std::pair(lud::kBlack, lud::kAboveTargetColor));
    // Short-term was not given: its bar shows only the mark.
    EXPECT_EQ(Pixel(MidX(ctrl.ShortTermBar()), ctrl.ShortTermBar().bottom - 1), lud::kBlack);
    ctrl.ShowNoInput();
    const CLoudnessSnapshot& r = ctrl.Reading();
    EXPECT_EQ(std::tuple(Pixel(MidX(bar), bar.bottom - 1), r.Has(CLoudnessSnapshot::kMomentary), r.Has(CLoudnessSnapshot::kIntegrated), r.integrated),
        std::tuple(lud::kBlack, false, true, -14.0f));
}

TEST_F(LoudnessCtrlTest, TruePeakAboveThePresetLimitShowsInTheOverColour)
{
    // Limits: EBU R 128 -1 dBTP, ATSC A/85 -2 dBTP.
    const struct { int preset; float peakDb; bool over; } rows[] = { { 0, 2.0f, true }, { 0, -1.5f, false }, { 1, -1.5f, true }, { 1, -3.0f, false } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.peakDb);
        ctrl.OnCommand(lud::ID_PRESET_FIRST + row.preset);
        ctrl.PaintNow();
        ctrl.ShowReading(Reading(-23.0f, row.peakDb, -20.0f));
        EXPECT_EQ(std::pair(RowHasColor(4, lud::kOverColor), RowHasColor(5, lud::kOverColor)), std::pair(row.over, false));
        for (int r : { 0, 1, 2, 3, 5 }) // each readout on its own row, none left empty
            EXPECT_TRUE(RowHasColor(r, lud::kReadoutColor)) << "row " << r;
        const CRect readoutBand(0, ctrl.MomentaryBar().bottom + 2 + ctrl.Dc().TextHeight(), 220, 360 - lud::kMargin);
        EXPECT_EQ(CountPixels(ctrl.Dc(), readoutBand, lud::kReadoutColor),
                  CountPixels(ctrl.Dc(), ctrl.ClientRect(), lud::kReadoutColor)) << "readouts only above the bottom margin";
    }
}

TEST_F(LoudnessCtrlTest, MenuChecksTheChosenOptionsAndTheScaleChoiceMovesTheTargetMark)
{
    // -18 LU is the bottom of EBU +9 and a third of the way up EBU +18.
    const CRect bar = ctrl.MomentaryBar();
    EXPECT_EQ(ctrl.RowOfLu(-18.0), bar.bottom - 1);
    ctrl.OnCommand(lud::ID_PRESET_FIRST + 2);
    ctrl.OnCommand(lud::ID_SCALE_FIRST + 1);
    ctrl.OnCommand(lud::ID_UNIT_LU);
    EXPECT_NEAR(ctrl.RowOfLu(-18.0), bar.bottom - 1 - (bar.Height() - 1) / 3.0, 1.0);
    EXPECT_EQ(ctrl.RowOfLu(-40.0), bar.bottom - 1);
    const auto menu = ctrl.BuildContextMenu();
    QStringList texts, checked;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            texts << a->text();
        if (a->isChecked())
            checked << a->text();
    }
    EXPECT_EQ(texts, QStringList({ "On", "EBU R 128 (-23 LUFS, -1 dBTP)", "ATSC A/85 (-24 LKFS, -2 dBTP)",
                         "Streaming (-14 LUFS, -1 dBTP)", "Streaming (-16 LUFS, -1 dBTP)", "EBU +9", "EBU +18", "LUFS", "LU",
                         "Reset Integration" }));
    EXPECT_EQ(checked, QStringList({ "Streaming (-14 LUFS, -1 dBTP)", "EBU +18", "LU" }));
    EXPECT_EQ(ctrl.Target().loudness, -14.0);
    EXPECT_TRUE(ctrl.OnCommand(lud::ID_PRESET_FIRST) && ctrl.OnCommand(lud::ID_SCALE_FIRST));
    // The first choices bring the defaults back.
    EXPECT_EQ(std::pair(ctrl.Target().loudness, ctrl.ScaleIndex()), std::pair(-23.0, 0));
}

// Only a click on the integrated readout resets the measurement, on the feed
// too; switching on starts the display afresh, switching on again while on does not.
TEST_F(LoudnessCtrlTest, ClickOnIntegratedReadoutOrSwitchingOnResetsTheMeasurement)
{
    CLoudnessFeed feed;
    feed.Open(48000);
    ctrl.SetFeed(&feed);
    ctrl.SetOn(1);
    std::vector<std::int16_t> block(2 * 512, 1000);
    CLoudnessSnapshot s;
    ASSERT_TRUE(feed.ProcessBlock(block.data(), 512, s));
    ctrl.ShowReading(Reading(-23.0f, -6.0f, -6.0f));
    ctrl.SetOn(1);
    for (int row : { 0, 2 }) {
        const CRect rc = ctrl.ReadoutRow(row);
        ctrl.OnLButtonDown(rc.left + 2, rc.top + 1);
        EXPECT_EQ(ctrl.Reading().Has(CLoudnessSnapshot::kIntegrated), row != 2) << "row " << row;
    }
    const std::uint32_t before = s.resetCount;
    feed.ProcessBlock(block.data(), 512, s);
    EXPECT_EQ(s.resetCount, before + 1) << "the feed starts again too";
    EXPECT_TRUE(ctrl.IsOnForCapture() && feed.IsOn());
    ctrl.ShowReading(Reading(-23.0f, -6.0f, -6.0f));
    ctrl.SetOn(0);
    ctrl.SetOn(1);
    EXPECT_EQ(ctrl.Reading().valid, 0);
}

} // namespace
