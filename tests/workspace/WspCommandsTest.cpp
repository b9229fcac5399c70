// Store, recall, device and rate commands against stand-in views, main
// window, loudness window and capture side, and the files they load and save.
#include "FakeWorkspace.h"

#include "workspace/WorkspaceIds.h"
#include "workspace/WspCommands.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const CEventLog kStoreAll { "PPM:store", "COR:store", "FFT:store", "STM:store" };

class WspCommandsTest : public ::testing::Test {
protected:
    WspCommandsTest()
    {
        for (CFakeWorkspaceView* view : m_all)
            m_host.m_views.push_back(view), m_capture.m_views.push_back(view);
        m_host.m_pLoudness = &m_loudness;
        m_commands.List().FillDefaults();
    }
    // PPM on and active, analyzer on with option 2, stereo minimised.
    void ArrangeFirstLayout()
    {
        m_host.m_wp = Placement(100, 80, 740, 560);
        m_ppm.m_wp = Placement(0, 0, 110, 320);
        m_ppm.m_nOn = m_ppm.m_nActive = 1;
        m_fft.m_wp = Placement(0, 320, 400, 600, SW_SHOWMAXIMIZED);
        m_fft.m_nOn = 1, m_fft.m_nOption = 2;
        m_stm.m_wp = Placement(410, 0, 660, 250, SW_SHOWMINIMIZED);
        m_loudness.m_state.on = 1, m_loudness.m_state.targetPreset = 2;
    }
    void MessUpLayout()
    {
        m_host.m_wp = Placement(5, 5, 645, 485);
        for (CFakeWorkspaceView* view : m_all) {
            view->m_wp = Placement(50, 50, 150, 150);
            view->m_nOn = view == &m_cor ? 1 : 0;
            view->m_nOption = view->m_nActive = 0;
        }
        m_loudness.m_state = {};
        m_log.clear();
    }
    int OnMask() const { return m_ppm.m_nOn + 2 * m_cor.m_nOn + 4 * m_fft.m_nOn + 8 * m_stm.m_nOn; }
    void ExpectFirstLayout()
    {
        EXPECT_EQ(m_host.m_wp, Placement(100, 80, 740, 560));
        EXPECT_EQ(m_ppm.m_wp, Placement(0, 0, 110, 320));
        EXPECT_EQ(m_stm.m_wp, Placement(410, 0, 660, 250, SW_SHOWMINIMIZED));
        EXPECT_EQ(OnMask(), 1 + 4) << "PPM and analyzer on";
        EXPECT_EQ((std::vector<int> { m_fft.m_nOption, m_ppm.m_nActive, m_fft.m_nActive, m_loudness.m_state.targetPreset }),
                  (std::vector<int> { 2, 1, 0, 2 }));
    }
    QString Path(const char* name = "cv.wsp") const { return QDir(m_folder.path()).filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_folder;
    CEventLog m_log;
    CFakeWorkspaceView m_ppm { kTypePpm, "PPM", m_log }, m_cor { kTypeCorrelation, "COR", m_log };
    CFakeWorkspaceView m_fft { kTypeAnalyzer, "FFT", m_log }, m_stm { kTypeStereo, "STM", m_log };
    const std::vector<CFakeWorkspaceView*> m_all { &m_ppm, &m_cor, &m_fft, &m_stm };
    CFakeLoudnessView m_loudness { m_log };
    CFakeWorkspaceHost m_host;
    CFakeCaptureControl m_capture { m_log };
    CWspCommands m_commands { m_host, m_capture };
};

TEST_F(WspCommandsTest, StoreThenRecallBringsBackEveryWindowInTwoPasses)
{
    ArrangeFirstLayout();
    m_ppm.m_nOn = 0;
    m_commands.OnCommand(ID_WSP_STORE_FIRST + 2);
    m_ppm.m_nOn = 1;
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_STORE_FIRST + 2)); // Shift+F7, again: replaces
    CEventLog twice = kStoreAll;
    twice.insert(twice.end(), kStoreAll.begin(), kStoreAll.end());
    EXPECT_EQ(m_log, twice);
    const CWsp& stored = m_commands.List().At(2);
    EXPECT_EQ(stored.m_strName, QByteArray("Workspace 3"));
    EXPECT_EQ(stored.m_frame.m_strTitle, QByteArray("Tarvix Audio Meter"));
    EXPECT_EQ(stored.m_frame.m_wp, Placement(100, 80, 740, 560));
    ASSERT_EQ(stored.m_winSets.size(), 4u) << "the loudness window is not in the workspace file";
    EXPECT_FALSE(m_commands.List().At(1).IsStored() || m_commands.List().At(3).IsStored());

    MessUpLayout();
    m_host.m_caption = QStringLiteral("changed");
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_RECALL_FIRST + 2)); // F7
    ExpectFirstLayout();
    EXPECT_EQ(m_host.m_caption, QStringLiteral("changed")) << "the caption is not recalled";
    EXPECT_EQ(m_log, (CEventLog { "PPM:restore", "COR:restore", "FFT:restore", "STM:restore", "PPM:arrange", "COR:arrange",
                         "FFT:arrange", "STM:arrange", "LUD:apply on 1" }));
    EXPECT_EQ(m_commands.List().At(2).m_winSets.size(), 4u) << "recall works on a copy";
}

TEST_F(WspCommandsTest, NeverStoredWorkspacesAndKeysBeyondTheListDoNothing)
{
    MessUpLayout();
    for (int id = ID_WSP_RECALL_FIRST; id <= ID_WSP_RECALL_LAST; ++id)
        EXPECT_TRUE(m_commands.OnCommand(id));
    m_commands.List() = CWspList();
    ArrangeFirstLayout();
    for (int id : { ID_WSP_STORE_FIRST, ID_WSP_STORE_LAST, ID_WSP_RECALL_FIRST, ID_WSP_RECALL_LAST })
        EXPECT_TRUE(m_commands.OnCommand(id));
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_host.m_nSetPlacementCalls + m_commands.List().Count(), 0);
}

// Each range's first and last id and its neighbours outside.
TEST_F(WspCommandsTest, ServesExactlyItsCommandIds)
{
    for (int id : { 32792, 32801, 32815, 32824, 32828, 32830, 9999, 10021, 32836, 32839, 32771 })
        EXPECT_FALSE(m_commands.OnCommand(id) || CWspCommands::IsWorkspaceCommand(id)) << id;
    const struct {
        int id, device, rate;
    } rows[] = { { 32829, -1, 44100 }, { 10020, 20, 44100 }, { 10000, 0, 44100 }, { 32838, 0, 48000 }, { 32837, 0, 44100 } };
    for (const auto& row : rows) {
        EXPECT_TRUE(CWspCommands::IsWorkspaceCommand(row.id) && m_commands.OnCommand(row.id)) << row.id;
        EXPECT_EQ(std::make_pair(m_capture.m_nDeviceId, m_capture.m_nRate), std::make_pair(row.device, row.rate)) << row.id;
    }
    for (int id : { 32793, 32800, 32816, 32823 })
        EXPECT_TRUE(CWspCommands::IsWorkspaceCommand(id)) << id;
}

TEST_F(WspCommandsTest, SettingChangesCycleRunningInstrumentsOnlyWhileCapturing)
{
    m_commands.OnCommand(ID_RATE_48000);
    EXPECT_EQ(m_log, (CEventLog { "analyzer rate 48000", "rate 48000" }));
    ArrangeFirstLayout();
    m_capture.m_bOpened = true;
    m_log.clear();
    m_commands.OnCommand(ID_DEVICE_FIRST + 1);
    CEventLog expected = kStoreAll;
    expected.insert(expected.end(), { "all off", "device 1", "PPM:restore", "COR:restore", "FFT:restore", "STM:restore", "LUD:apply on 1" });
    EXPECT_EQ(m_log, expected);
    EXPECT_EQ(OnMask(), 1 + 4) << "what ran runs again";
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(m_commands.List().At(i).IsStored()) << "the temporary workspace never reaches the list";
}

// Eight never-stored workspaces "Workspace 1" .. "Workspace 8" make an
// 834-byte file and no side file; a stored one survives a restart with its
// loudness state.
TEST_F(WspCommandsTest, FirstRunWritesTheKnownFileAndAStoredWorkspaceSurvivesARestart)
{
    EXPECT_FALSE(m_commands.LoadWorkspaces(Path()));
    EXPECT_EQ(m_commands.List().Count(), 8);
    EXPECT_TRUE(m_commands.SaveWorkspaces(Path()));
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), 834);
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
              QByteArray("1729dd0e80950ee53ef032aa86b2f1daa24c882c2db1c47a4d14b19740e6dca4"));
    EXPECT_FALSE(QFile::exists(Path("cv-loudness.wsp")));

    ArrangeFirstLayout();
    m_commands.OnCommand(ID_WSP_STORE_LAST); // Shift+F12
    ASSERT_TRUE(m_commands.SaveWorkspaces(Path()));
    EXPECT_TRUE(QFile::exists(Path("cv-loudness.wsp")));
    CWspCommands next(m_host, m_capture);
    ASSERT_TRUE(next.LoadWorkspaces(Path()));
    MessUpLayout();
    next.OnCommand(ID_WSP_RECALL_LAST); // F12
    ExpectFirstLayout();
    EXPECT_EQ(m_loudness.m_state.workspace, 7u);
}

} // namespace
