#include "meters/loudness/LoudnessView.h"
#include "platform/SettingsStore.h"
#include "tests/common/ViewTestBench.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class LoudnessViewTest : public CViewTestBench {};

TEST_F(LoudnessViewTest, OptionsPersistInTheLudSectionAndUnknownPresetCodesAreIgnored)
{
    {
        auto view = CreateView<CLoudnessView>(240, 400, frame);
        EXPECT_EQ(view->Ctrl()->Preset(), 0); // first run: EBU R 128
        view->Ctrl()->OnCommand(lud::ID_PRESET_FIRST + 3);
        // Codes past the ends (from a later version's settings, or edited by hand) leave the preset as it was.
        for (const int code : { -1, static_cast<int>(lud::kPresets.size()) })
            view->Ctrl()->SetPreset(code);
        view->Ctrl()->OnCommand(lud::ID_SCALE_FIRST + 1);
        view->Ctrl()->OnCommand(lud::ID_UNIT_LU);
        view->OnDestroy();
    }
    const std::pair<const char*, int> entries[] = { { "Preset", 3 }, { "Scale", 1 }, { "Unit", 1 }, { "Status", 0 } };
    for (const auto& [entry, value] : entries)
        EXPECT_EQ(CSettingsStore::GetInt(QStringLiteral("LUD"), QString::fromLatin1(entry), -1), value) << entry;

    CFakeViewFrame second;
    auto again = CreateView<CLoudnessView>(240, 400, second);
    EXPECT_FALSE(again->OnCommand(lud::ID_VIEW_ON_OFF + 1));
    EXPECT_EQ(again->Ctrl()->IsOn(), 0);
    EXPECT_TRUE(again->OnCommand(lud::ID_VIEW_ON_OFF));
    EXPECT_EQ(again->Ctrl()->IsOn(), 1);
    EXPECT_TRUE(again->OnCommand(lud::ID_VIEW_ON_OFF));
    EXPECT_EQ(std::pair(again->Ctrl()->IsOn(), doc.MeterCount()), std::pair(0, 0));
    ASSERT_TRUE(capture.WaitForIdle());
    EXPECT_EQ(std::tuple(again->Ctrl()->Target().loudness, again->Ctrl()->ScaleIndex(), again->Ctrl()->Unit()), std::tuple(-16.0, 1, lud::kUnitLu));
}

TEST_F(LoudnessViewTest, WorkspaceRecordCarriesPlacementAndOptions)
{
    auto view = CreateView<CLoudnessView>(240, 400, frame);
    frame.m_rect = QRect(30, 40, 260, 380);
    view->Ctrl()->OnCommand(lud::ID_PRESET_FIRST + 1);
    host.m_pActiveView = view.get();
    const CLoudnessWspRecord record = view->WspRecord(4);
    EXPECT_EQ(std::tuple(record.workspace, record.targetPreset, record.placement.left, record.placement.bottom, record.active),
              std::tuple(4u, 1, 30, 420, 1));

    CFakeViewFrame otherFrame;
    auto other = CreateView<CLoudnessView>(240, 400, otherFrame);
    other->ApplyWspRecord(record);
    EXPECT_EQ(std::pair(other->Ctrl()->Preset(), otherFrame.FrameRect()), std::pair(1, QRect(30, 40, 260, 380)));
    EXPECT_EQ(std::count(otherFrame.m_actions.begin(), otherFrame.m_actions.end(), QStringLiteral("activate")), 1);
    // A record stored while another window was active does not activate this one.
    host.m_pActiveView = nullptr;
    EXPECT_EQ(view->WspRecord(4).active, 0);
}

} // namespace
