// Store, recall, device and rate commands against stand-in views, main
// window and capture side.
#include "FakeWorkspace.h"

#include "workspace/WorkspaceIds.h"
#include "workspace/WspCommands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
CWindowPlacement Placement(int left, int top, int right, int bottom, int showCmd = SW_SHOWNORMAL)
{
    return CWindowPlacement::FromValues({ 44, 0, showCmd, -1, -1, -1, -1, left, top, right, bottom });
}

class WspCommandsTest : public ::testing::Test {
protected:
    WspCommandsTest()
    {
        for (CFakeWorkspaceView* view : { &m_ppm, &m_cor, &m_fft, &m_stm }) {
            m_host.m_views.push_back(view);
            m_capture.m_views.push_back(view);
        }
        m_commands.List().FillDefaults();
    }

    // A recognisable arrangement: PPM on and active, analyzer on and
    // maximised, correlation and stereo off.
    void ArrangeFirstLayout()
    {
        m_host.m_wp = Placement(100, 80, 740, 560);
        m_ppm.m_wp = Placement(0, 0, 110, 320);
        m_ppm.m_nOn = 1;
        m_ppm.m_nActive = 1;
        m_cor.m_wp = Placement(110, 0, 410, 124);
        m_fft.m_wp = Placement(0, 320, 400, 600, SW_SHOWMAXIMIZED);
        m_fft.m_nOn = 1;
        m_fft.m_nOption = 2;
        m_stm.m_wp = Placement(410, 0, 660, 250, SW_SHOWMINIMIZED);
    }
    void MessUpLayout()
    {
        m_host.m_wp = Placement(5, 5, 645, 485);
        for (CFakeWorkspaceView* view : { &m_ppm, &m_cor, &m_fft, &m_stm }) {
            view->m_wp = Placement(50, 50, 150, 150);
            view->m_nOn = view == &m_cor ? 1 : 0;
            view->m_nOption = 0;
            view->m_nActive = 0;
            view->m_bMaximized = false;
        }
    }

    CEventLog m_log;
    CFakeWorkspaceView m_ppm { kTypePpm, "PPM", m_log };
    CFakeWorkspaceView m_cor { kTypeCorrelation, "COR", m_log };
    CFakeWorkspaceView m_fft { kTypeAnalyzer, "FFT", m_log };
    CFakeWorkspaceView m_stm { kTypeStereo, "STM", m_log };
    CFakeWorkspaceHost m_host;
    CFakeCaptureControl m_capture { m_log };
    CWspCommands m_commands { m_host, m_capture };
};
}

TEST_F(WspCommandsTest, StoreFillsFrameRecordAndAppendsRecordsInViewOrder)
{
    ArrangeFirstLayout();
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_STORE_FIRST + 2)); // Shift+F7
    EXPECT_EQ(m_log, (CEventLog { "PPM:store", "COR:store", "FFT:store", "STM:store" }));

    const CWsp& stored = m_commands.List().At(2);
    EXPECT_EQ(stored.m_strName, QByteArray("Workspace 3"));
    EXPECT_EQ(stored.m_frame.m_strTitle, QByteArray("Tarvix Audio Meter"));
    EXPECT_EQ(stored.m_frame.m_nType, 0u);
    EXPECT_EQ(stored.m_frame.m_wp, Placement(100, 80, 740, 560));
    ASSERT_EQ(stored.m_winSets.size(), 4u);
    EXPECT_EQ(stored.m_winSets[0].m_nType, 129u);
    EXPECT_EQ(stored.m_winSets[1].m_nType, 131u);
    EXPECT_EQ(stored.m_winSets[2].m_nType, 132u);
    EXPECT_EQ(stored.m_winSets[3].m_nType, 133u);
    // The other workspaces stay never stored, in their places.
    EXPECT_FALSE(m_commands.List().At(1).IsStored());
    EXPECT_FALSE(m_commands.List().At(3).IsStored());
    EXPECT_EQ(m_commands.List().Count(), 8);
}

TEST_F(WspCommandsTest, StoringTwiceReplacesTheRecordsRatherThanAddingToThem)
{
    ArrangeFirstLayout();
    m_commands.OnCommand(ID_WSP_STORE_FIRST);
    m_ppm.m_nOn = 0;
    m_commands.OnCommand(ID_WSP_STORE_FIRST);
    const CWsp& stored = m_commands.List().At(0);
    ASSERT_EQ(stored.m_winSets.size(), 4u);
    EXPECT_EQ(stored.FindWinSet(kTypePpm)->m_nParam[1], 0);
}

TEST_F(WspCommandsTest, RecallBringsBackMainPlacementAndEveryWindow)
{
    ArrangeFirstLayout();
    m_commands.OnCommand(ID_WSP_STORE_FIRST + 2); // Shift+F7
    MessUpLayout();
    m_host.m_caption = QStringLiteral("Tarvix Audio Meter - [PPM-Meter]");
    m_log.clear();

    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_RECALL_FIRST + 2)); // F7
    EXPECT_EQ(m_host.m_wp, Placement(100, 80, 740, 560));
    EXPECT_EQ(m_host.m_caption, QStringLiteral("Tarvix Audio Meter - [PPM-Meter]"));
    // Every view restores before any arranges, each pass in view order.
    EXPECT_EQ(m_log,
              (CEventLog { "PPM:restore", "COR:restore", "FFT:restore", "STM:restore", "PPM:arrange", "COR:arrange",
                           "FFT:arrange", "STM:arrange" }));
    EXPECT_EQ(m_ppm.m_wp, Placement(0, 0, 110, 320));
    EXPECT_EQ(m_stm.m_wp, Placement(410, 0, 660, 250, SW_SHOWMINIMIZED));
    EXPECT_EQ(m_ppm.m_nOn, 1);
    EXPECT_EQ(m_cor.m_nOn, 0);
    EXPECT_EQ(m_fft.m_nOn, 1);
    EXPECT_EQ(m_fft.m_nOption, 2);
    EXPECT_TRUE(m_fft.m_bMaximized);
    EXPECT_EQ(m_ppm.m_nActive, 1);
    EXPECT_EQ(m_fft.m_nActive, 0);
    // Recall works on a copy: the stored workspace is unchanged.
    EXPECT_EQ(m_commands.List().At(2).m_winSets.size(), 4u);
}

TEST_F(WspCommandsTest, RecallOfANeverStoredWorkspaceChangesNothing)
{
    MessUpLayout();
    for (int id = ID_WSP_RECALL_FIRST; id <= ID_WSP_RECALL_LAST; ++id)
        EXPECT_TRUE(m_commands.OnCommand(id));
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_host.m_nSetPlacementCalls, 0);
    EXPECT_EQ(m_host.m_wp, Placement(5, 5, 645, 485));
}

TEST_F(WspCommandsTest, KeysBeyondAShortListDoNothing)
{
    CWspList shortList;
    ASSERT_TRUE(shortList.AppendFromBytes(QByteArray::fromHex("0000")));
    m_commands.List() = shortList;
    ArrangeFirstLayout();
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_STORE_FIRST));
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_STORE_LAST));
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_RECALL_LAST));
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_commands.List().Count(), 0);
    EXPECT_EQ(m_host.m_nSetPlacementCalls, 0);
}

TEST_F(WspCommandsTest, ServesExactlyItsCommandIds)
{
    for (int id : { 32792, 32801, 32815, 32824, 32828, 32830, 9999, 10021, 32836, 32839, 32771 }) {
        EXPECT_FALSE(m_commands.OnCommand(id)) << id;
        EXPECT_FALSE(CWspCommands::IsWorkspaceCommand(id)) << id;
    }
    EXPECT_TRUE(m_commands.OnCommand(32829));
    EXPECT_EQ(m_capture.m_nDeviceId, -1);
    EXPECT_TRUE(m_commands.OnCommand(10020));
    EXPECT_EQ(m_capture.m_nDeviceId, 20);
    EXPECT_TRUE(m_commands.OnCommand(10000));
    EXPECT_EQ(m_capture.m_nDeviceId, 0);
    EXPECT_TRUE(m_commands.OnCommand(32838));
    EXPECT_EQ(m_capture.m_nRate, 48000);
    EXPECT_TRUE(m_commands.OnCommand(32837));
    EXPECT_EQ(m_capture.m_nRate, 44100);
}

TEST_F(WspCommandsTest, RateWithNothingRunningTellsTheAnalyzerFirst)
{
    m_commands.OnCommand(ID_RATE_48000);
    EXPECT_EQ(m_log, (CEventLog { "analyzer rate 48000", "rate 48000" }));
}

TEST_F(WspCommandsTest, RateWhileRunningCyclesEveryInstrumentOffAndOn)
{
    ArrangeFirstLayout();
    m_capture.m_bOpened = true;
    m_commands.OnCommand(ID_RATE_48000);
    EXPECT_EQ(m_log,
              (CEventLog { "analyzer rate 48000", "PPM:store", "COR:store", "FFT:store", "STM:store", "all off",
                           "rate 48000", "PPM:restore", "COR:restore", "FFT:restore", "STM:restore" }));
    EXPECT_EQ(m_ppm.m_nOn, 1);
    EXPECT_EQ(m_cor.m_nOn, 0);
    EXPECT_EQ(m_fft.m_nOn, 1);
    EXPECT_EQ(m_stm.m_nOn, 0);
    // The temporary workspace never reaches the list.
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(m_commands.List().At(i).IsStored());
}

TEST_F(WspCommandsTest, FirstRunWithoutFileGivesDefaultsAndWrites834Bytes)
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("cv.wsp"));
    EXPECT_FALSE(m_commands.LoadWorkspaces(path));
    EXPECT_EQ(m_commands.List().Count(), 8);
    EXPECT_TRUE(m_commands.SaveWorkspaces(path));
    EXPECT_EQ(QFileInfo(path).size(), 834);
}

TEST_F(WspCommandsTest, StoredWorkspaceSurvivesARestart)
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("cv.wsp"));
    ArrangeFirstLayout();
    m_commands.OnCommand(ID_WSP_STORE_LAST); // Shift+F12
    ASSERT_TRUE(m_commands.SaveWorkspaces(path));

    CWspCommands next(m_host, m_capture);
    ASSERT_TRUE(next.LoadWorkspaces(path));
    MessUpLayout();
    next.OnCommand(ID_WSP_RECALL_LAST); // F12
    EXPECT_EQ(m_host.m_wp, Placement(100, 80, 740, 560));
    EXPECT_EQ(m_fft.m_nOn, 1);
    EXPECT_EQ(m_stm.m_wp, Placement(410, 0, 660, 250, SW_SHOWMINIMIZED));
}

TEST_F(WspCommandsTest, CorruptFileLoadsAsDefaultsAndIsRewrittenWhole)
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("cv.wsp"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromHex("0800" "0b") + "Workspace"); // cut inside the first name
    }
    ArrangeFirstLayout();
    m_commands.OnCommand(ID_WSP_STORE_FIRST);
    EXPECT_FALSE(m_commands.LoadWorkspaces(path));
    ASSERT_EQ(m_commands.List().Count(), 8);
    EXPECT_FALSE(m_commands.List().At(0).IsStored()); // nothing half-read or left over
    EXPECT_EQ(m_commands.List().At(7).m_strName, QByteArray("Workspace 8"));
    ASSERT_TRUE(m_commands.SaveWorkspaces(path));
    CWspList reread;
    EXPECT_TRUE(reread.Load(path));
    EXPECT_EQ(reread.Count(), 8);
}
