// The loudness window in the workspace commands: its state goes to the side
// file, never into the workspace file, is recalled by the same keys, and it
// is switched off and on again around a device change like the others.
#include "FakeWorkspace.h"

#include "workspace/LoudnessWorkspaceView.h"
#include "workspace/WorkspaceIds.h"
#include "workspace/WspCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {
class CFakeLoudnessView : public ILoudnessWorkspaceView {
public:
    explicit CFakeLoudnessView(CEventLog& log) : m_log(log) {}
    CLoudnessWspRecord WspRecord(std::uint32_t workspace) const override
    {
        CLoudnessWspRecord record = m_state;
        record.workspace = workspace;
        return record;
    }
    void ApplyWspRecord(const CLoudnessWspRecord& record) override
    {
        m_log.push_back("LUD:apply on " + std::to_string(record.on));
        m_state = record;
    }
    CEventLog& m_log;
    CLoudnessWspRecord m_state;
};

class CHostWithLoudness : public CFakeWorkspaceHost {
public:
    ILoudnessWorkspaceView* LoudnessView() const override { return m_pLoudness; }
    ILoudnessWorkspaceView* m_pLoudness = nullptr;
};

class LoudnessWorkspaceTest : public ::testing::Test {
protected:
    LoudnessWorkspaceTest()
    {
        m_host.m_views.push_back(&m_ppm);
        m_capture.m_views.push_back(&m_ppm);
        m_host.m_pLoudness = &m_loudness;
        m_commands.List().FillDefaults();
    }
    QString WspPath() const { return QDir(m_folder.path()).filePath(QStringLiteral("cv.wsp")); }

    QTemporaryDir m_folder;
    CEventLog m_log;
    CFakeWorkspaceView m_ppm { kTypePpm, "PPM", m_log };
    CFakeLoudnessView m_loudness { m_log };
    CHostWithLoudness m_host;
    CFakeCaptureControl m_capture { m_log };
    CWspCommands m_commands { m_host, m_capture };
};
}

TEST_F(LoudnessWorkspaceTest, StoredStateGoesToTheSideFileAndComesBackWithItsKey)
{
    m_loudness.m_state.on = 1;
    m_loudness.m_state.targetPreset = 2;
    m_commands.OnCommand(ID_WSP_STORE_FIRST + 3);
    // The workspace file holds the other windows' records only.
    ASSERT_EQ(m_commands.List().At(3).m_winSets.size(), 1u);
    ASSERT_TRUE(m_commands.SaveWorkspaces(WspPath()));
    EXPECT_TRUE(QFile::exists(QDir(m_folder.path()).filePath(QStringLiteral("cv-loudness.wsp"))));

    // A fresh start reads both files; recalling key 3 brings the state back.
    CFakeLoudnessView later(m_log);
    CHostWithLoudness host;
    host.m_views.push_back(&m_ppm);
    host.m_pLoudness = &later;
    CWspCommands commands(host, m_capture);
    ASSERT_TRUE(commands.LoadWorkspaces(WspPath()));
    commands.OnCommand(ID_WSP_RECALL_FIRST + 3);
    EXPECT_EQ(later.m_state.on, 1);
    EXPECT_EQ(later.m_state.targetPreset, 2);
    EXPECT_EQ(later.m_state.workspace, 3u);

    // A key never stored recalls nothing, the loudness window included.
    m_log.clear();
    commands.OnCommand(ID_WSP_RECALL_FIRST + 5);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(LoudnessWorkspaceTest, NothingStoredLeavesTheFirstRunFilesAlone)
{
    ASSERT_TRUE(m_commands.SaveWorkspaces(WspPath()));
    EXPECT_EQ(QFileInfo(WspPath()).size(), 834);
    EXPECT_FALSE(QFile::exists(QDir(m_folder.path()).filePath(QStringLiteral("cv-loudness.wsp"))));
}

TEST_F(LoudnessWorkspaceTest, DeviceChangeSwitchesTheLoudnessWindowOffAndBackOn)
{
    m_capture.m_bOpened = true;
    m_loudness.m_state.on = 1;
    m_commands.ChangeDevice(1);
    // Switched back on after the new device is set, as it was before.
    const auto device = std::find(m_log.begin(), m_log.end(), "device 1");
    const auto apply = std::find(m_log.begin(), m_log.end(), "LUD:apply on 1");
    ASSERT_NE(device, m_log.end());
    ASSERT_NE(apply, m_log.end());
    EXPECT_LT(device, apply);
}
