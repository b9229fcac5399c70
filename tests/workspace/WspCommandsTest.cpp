// Store, recall, device and rate commands against stand-in views and a test
// fixture playing main window and capture side, all writing to one event log.
#include "workspace/CaptureControl.h"
#include "workspace/WorkspaceHost.h"
#include "workspace/WorkspaceIds.h"
#include "workspace/WorkspaceView.h"
#include "workspace/WspCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using CEventLog = std::vector<std::string>;

CWindowPlacement Placement(int left, int top, int right, int bottom, int showCmd = SW_SHOWNORMAL)
{
    return CWindowPlacement::FromValues({ 44, 0, showCmd, -1, -1, -1, -1, left, top, right, bottom });
}

// Keeps what a real view puts in its record: placement, on state
// (parameter 1), one option (2) and whether it was active (4).
class CFakeWorkspaceView : public IWorkspaceView {
public:
    CFakeWorkspaceView(std::uint32_t type, std::string name, CEventLog& log) : m_nType(type), m_name(std::move(name)), m_log(log) {}
    void OnUpdate(int hint, CWsp* workspace) override
    {
        const CWinSet* record = workspace->FindWinSet(m_nType);
        m_log.push_back(m_name + (hint == HINT_STORE ? ":store" : hint == HINT_RESTORE ? ":restore" : ":arrange"));
        if (hint == HINT_STORE) {
            CWinSet mine;
            mine.m_nType = m_nType;
            mine.m_wp = m_wp;
            mine.m_nParam[1] = m_nOn, mine.m_nParam[2] = m_nOption, mine.m_nParam[4] = m_nActive;
            workspace->AddWinSet(mine);
        } else if (hint == HINT_RESTORE && record) {
            m_wp = record->m_wp, m_nOn = record->m_nParam[1], m_nOption = record->m_nParam[2];
        } else if (record) {
            m_nActive = record->m_nParam[4];
        }
    }
    std::uint32_t m_nType;
    std::string m_name;
    CEventLog& m_log;
    CWindowPlacement m_wp;
    int m_nOn = 0, m_nOption = 0, m_nActive = 0;
};

class WspCommandsTest : public ::testing::Test, public IWorkspaceHost, public ICaptureControl {
protected:
    WspCommandsTest() { m_commands.List().FillDefaults(); }

    std::vector<IWorkspaceView*> Views() const override { return { &m_ppm, &m_cor, &m_fft, &m_stm }; }
    CWindowPlacement GetMainPlacement() const override { return m_wp; }
    void SetMainPlacement(const CWindowPlacement& placement) override { m_wp = placement; }
    QString MainCaption() const override { return m_caption; }
    bool IsCaptureOpened() const override { return m_bOpened; }
    void SetDeviceId(int id) override { m_log.push_back("device " + std::to_string(m_nDeviceId = id)); }
    void SetSampleRate(int rate) override { m_log.push_back("rate " + std::to_string(m_nRate = rate)); }
    void SetAnalyzerSampleRate(int rate) override { m_log.push_back("analyzer rate " + std::to_string(rate)); }
    void AllMetersOff() override
    {
        m_log.push_back("all off");
        for (CFakeWorkspaceView* view : m_all)
            view->m_nOn = 0;
    }

    // PPM on and active, analyzer maximised and on with option 2, stereo minimised.
    void ArrangeFirstLayout()
    {
        m_wp = Placement(100, 80, 740, 560);
        m_ppm.m_wp = Placement(0, 0, 110, 320);
        m_ppm.m_nOn = m_ppm.m_nActive = 1;
        m_fft.m_wp = Placement(0, 320, 400, 600, SW_SHOWMAXIMIZED);
        m_fft.m_nOn = 1, m_fft.m_nOption = 2;
        m_stm.m_wp = Placement(410, 0, 660, 250, SW_SHOWMINIMIZED);
        m_first = State();
    }
    void MessUpLayout()
    {
        m_wp = Placement(5, 5, 645, 485);
        for (CFakeWorkspaceView* view : m_all) {
            view->m_wp = Placement(50, 50, 150, 150);
            view->m_nOn = view == &m_cor ? 1 : 0;
            view->m_nOption = view->m_nActive = 0;
        }
        m_log.clear();
    }
    // What a workspace brings back: placements, on states, options, active flags.
    std::vector<int> State() const
    {
        std::vector<int> state;
        for (const CWindowPlacement& wp : { m_wp, m_ppm.m_wp, m_cor.m_wp, m_fft.m_wp, m_stm.m_wp }) {
            const auto values = wp.Values();
            state.insert(state.end(), values.begin(), values.end());
        }
        for (const CFakeWorkspaceView* view : m_all)
            state.insert(state.end(), { view->m_nOn, view->m_nOption, view->m_nActive });
        return state;
    }

    CEventLog m_log;
    mutable CFakeWorkspaceView m_ppm { kTypePpm, "PPM", m_log }, m_cor { kTypeCorrelation, "COR", m_log };
    mutable CFakeWorkspaceView m_fft { kTypeAnalyzer, "FFT", m_log }, m_stm { kTypeStereo, "STM", m_log };
    const std::vector<CFakeWorkspaceView*> m_all { &m_ppm, &m_cor, &m_fft, &m_stm };
    CWindowPlacement m_wp;
    QString m_caption = QStringLiteral("Tarvix Audio Meter");
    bool m_bOpened = false;
    int m_nDeviceId = 0, m_nRate = 44100;
    std::vector<int> m_first;
    CWspCommands m_commands { *this, *this };
};

// Storing twice replaces; recall restores every window, then arranges them,
// working on a copy; the caption is not recalled.
TEST_F(WspCommandsTest, StoreThenRecallBringsBackEveryWindowInTwoPasses)
{
    ArrangeFirstLayout();
    m_ppm.m_nOn = 0;
    m_commands.OnCommand(ID_WSP_STORE_FIRST + 2);
    m_ppm.m_nOn = 1;
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_STORE_FIRST + 2));
    const CWsp& stored = m_commands.List().At(2);
    EXPECT_EQ(stored.m_strName, QByteArray("Workspace 3"));
    EXPECT_EQ(stored.m_frame.m_strTitle, QByteArray("Tarvix Audio Meter"));
    ASSERT_EQ(stored.m_winSets.size(), 4u);
    EXPECT_FALSE(m_commands.List().At(1).IsStored() || m_commands.List().At(3).IsStored());
    m_log.clear();
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_RECALL_FIRST + 1)); // never stored: nothing happens
    EXPECT_TRUE(m_log.empty());

    MessUpLayout();
    m_caption = QStringLiteral("changed");
    EXPECT_TRUE(m_commands.OnCommand(ID_WSP_RECALL_FIRST + 2));
    EXPECT_EQ(State(), m_first);
    EXPECT_EQ(m_caption, QStringLiteral("changed"));
    EXPECT_EQ(m_log, (CEventLog { "PPM:restore", "COR:restore", "FFT:restore", "STM:restore", "PPM:arrange", "COR:arrange",
                         "FFT:arrange", "STM:arrange" }));
    EXPECT_EQ(m_commands.List().At(2).m_winSets.size(), 4u);
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
        EXPECT_EQ(std::make_pair(m_nDeviceId, m_nRate), std::make_pair(row.device, row.rate)) << row.id;
    }
    for (int id : { 32793, 32800, 32816, 32823 })
        EXPECT_TRUE(CWspCommands::IsWorkspaceCommand(id)) << id;
}

TEST_F(WspCommandsTest, SettingChangesCycleRunningInstrumentsOnlyWhileCapturing)
{
    m_commands.OnCommand(ID_RATE_48000);
    EXPECT_EQ(m_log, (CEventLog { "analyzer rate 48000", "rate 48000" }));
    ArrangeFirstLayout();
    m_bOpened = true;
    m_log.clear();
    m_commands.OnCommand(ID_DEVICE_FIRST + 1);
    EXPECT_EQ(m_log, (CEventLog { "PPM:store", "COR:store", "FFT:store", "STM:store", "all off", "device 1", "PPM:restore",
                         "COR:restore", "FFT:restore", "STM:restore" }));
    EXPECT_EQ(State(), m_first); // what ran runs again
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(m_commands.List().At(i).IsStored()); // the temporary workspace never reaches the list
}

} // namespace
