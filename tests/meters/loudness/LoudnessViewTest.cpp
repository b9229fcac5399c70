// The loudness window: its options persist in the settings section "LUD",
// and its per-workspace state goes to and comes back from a side-file record.
#include "meters/loudness/LoudnessView.h"
#include "platform/SettingsStore.h"
#include "tests/common/ViewTestBench.h"

#include <gtest/gtest.h>

namespace {

class LoudnessViewTest : public CViewTestBench {};

TEST_F(LoudnessViewTest, OptionsPersistInTheLudSection)
{
    {
        auto view = CreateView<CLoudnessView>(240, 400, frame);
        EXPECT_EQ(view->Ctrl()->Preset(), 0); // first run: EBU R 128
        view->Ctrl()->OnCommand(lud::ID_PRESET_FIRST + 3);
        view->Ctrl()->OnCommand(lud::ID_SCALE_FIRST + 1);
        view->Ctrl()->OnCommand(lud::ID_UNIT_LU);
        view->OnDestroy();
    }
    const QString section = QStringLiteral("LUD");
    EXPECT_EQ(CSettingsStore::GetInt(section, QStringLiteral("Preset"), -1), 3);
    EXPECT_EQ(CSettingsStore::GetInt(section, QStringLiteral("Scale"), -1), 1);
    EXPECT_EQ(CSettingsStore::GetInt(section, QStringLiteral("Unit"), -1), 1);
    EXPECT_EQ(CSettingsStore::GetInt(section, QStringLiteral("Status"), -1), 0);

    CFakeViewFrame second;
    auto again = CreateView<CLoudnessView>(240, 400, second);
    EXPECT_EQ(again->Ctrl()->Target().loudness, -16.0);
    EXPECT_EQ(again->Ctrl()->ScaleIndex(), 1);
    EXPECT_EQ(again->Ctrl()->Unit(), lud::kUnitLu);
}

TEST_F(LoudnessViewTest, WorkspaceRecordCarriesPlacementAndOptions)
{
    auto view = CreateView<CLoudnessView>(240, 400, frame);
    frame.m_rect = QRect(30, 40, 260, 380);
    view->Ctrl()->OnCommand(lud::ID_PRESET_FIRST + 1);
    const CLoudnessWspRecord record = view->WspRecord(4);
    EXPECT_EQ(record.workspace, 4u);
    EXPECT_EQ(record.targetPreset, 1);
    EXPECT_EQ(record.placement.left, 30);
    EXPECT_EQ(record.placement.bottom, 420);

    CFakeViewFrame otherFrame;
    auto other = CreateView<CLoudnessView>(240, 400, otherFrame);
    other->ApplyWspRecord(record);
    EXPECT_EQ(other->Ctrl()->Preset(), 1);
    EXPECT_EQ(otherFrame.FrameRect(), QRect(30, 40, 260, 380));
}

} // namespace
