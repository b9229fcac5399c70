#pragma once
// Stand-ins for the instrument views, the main window, the loudness window
// and the capture side, sharing one event log that shows the order of events.
#include "workspace/CaptureControl.h"
#include "workspace/LoudnessWorkspaceView.h"
#include "workspace/WorkspaceHost.h"
#include "workspace/WorkspaceView.h"
#include "workspace/Wsp.h"

#include <string>
#include <vector>

using CEventLog = std::vector<std::string>;

inline CWindowPlacement Placement(int left, int top, int right, int bottom, int showCmd = SW_SHOWNORMAL)
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
            mine.m_strTitle = QByteArray::fromStdString(m_name);
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

class CFakeWorkspaceHost : public IWorkspaceHost {
public:
    std::vector<IWorkspaceView*> Views() const override { return m_views; }
    CWindowPlacement GetMainPlacement() const override { return m_wp; }
    void SetMainPlacement(const CWindowPlacement& placement) override { m_wp = placement, ++m_nSetPlacementCalls; }
    QString MainCaption() const override { return m_caption; }
    ILoudnessWorkspaceView* LoudnessView() const override { return m_pLoudness; }
    std::vector<IWorkspaceView*> m_views;
    CWindowPlacement m_wp;
    QString m_caption = QStringLiteral("Tarvix Audio Meter");
    ILoudnessWorkspaceView* m_pLoudness = nullptr;
    int m_nSetPlacementCalls = 0;
};

// AllMetersOff switches every fake view off, as the hub switches every instrument off.
class CFakeCaptureControl : public ICaptureControl {
public:
    explicit CFakeCaptureControl(CEventLog& log) : m_log(log) {}
    bool IsCaptureOpened() const override { return m_bOpened; }
    void SetDeviceId(int id) override { m_log.push_back("device " + std::to_string(m_nDeviceId = id)); }
    void SetSampleRate(int rate) override { m_log.push_back("rate " + std::to_string(m_nRate = rate)); }
    void SetAnalyzerSampleRate(int rate) override { m_log.push_back("analyzer rate " + std::to_string(rate)); }
    void AllMetersOff() override
    {
        m_log.push_back("all off");
        for (CFakeWorkspaceView* view : m_views)
            view->m_nOn = 0;
    }
    CEventLog& m_log;
    std::vector<CFakeWorkspaceView*> m_views;
    bool m_bOpened = false;
    int m_nDeviceId = 0, m_nRate = 44100;
};
