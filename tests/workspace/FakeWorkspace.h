#pragma once
// Stand-ins for the instrument views, the main window and the capture side,
// so the workspace commands can be driven without windows or a device. They
// share one event log, which shows the order in which things happened.
#include "workspace/CaptureControl.h"
#include "workspace/WorkspaceHost.h"
#include "workspace/WorkspaceView.h"
#include "workspace/Wsp.h"

#include <string>
#include <vector>

using CEventLog = std::vector<std::string>;

// A view that keeps the few things a real view puts in its record: its
// placement, on state, one option and whether it was active.
class CFakeWorkspaceView : public IWorkspaceView {
public:
    CFakeWorkspaceView(std::uint32_t type, std::string name, CEventLog& log)
        : m_nType(type), m_name(std::move(name)), m_log(log)
    {
    }

    void OnUpdate(int hint, CWsp* workspace) override
    {
        switch (hint) {
        case HINT_STORE: Store(*workspace); break;
        case HINT_RESTORE: Restore(*workspace); break;
        case HINT_ARRANGE: Arrange(*workspace); break;
        default: m_log.push_back(m_name + ":other"); break;
        }
    }

    std::uint32_t m_nType;
    std::string m_name;
    CEventLog& m_log;
    CWindowPlacement m_wp;
    int m_nOn = 0;
    int m_nOption = 0;
    int m_nActive = 0;
    bool m_bMaximized = false;

private:
    void Store(CWsp& workspace)
    {
        m_log.push_back(m_name + ":store");
        CWinSet record;
        record.m_nType = m_nType;
        record.m_strTitle = QByteArray::fromStdString(m_name);
        record.m_wp = m_wp;
        record.m_nParam[1] = m_nOn;
        record.m_nParam[2] = m_nOption;
        record.m_nParam[4] = m_nActive;
        workspace.AddWinSet(record);
    }
    void Restore(const CWsp& workspace)
    {
        m_log.push_back(m_name + ":restore");
        if (const CWinSet* record = workspace.FindWinSet(m_nType)) {
            m_wp = record->m_wp;
            m_nOn = record->m_nParam[1];
            m_nOption = record->m_nParam[2];
        }
    }
    void Arrange(const CWsp& workspace)
    {
        m_log.push_back(m_name + ":arrange");
        if (const CWinSet* record = workspace.FindWinSet(m_nType)) {
            m_bMaximized = record->m_wp.showCmd == SW_SHOWMAXIMIZED;
            m_nActive = record->m_nParam[4];
        }
    }
};

class CFakeWorkspaceHost : public IWorkspaceHost {
public:
    std::vector<IWorkspaceView*> Views() const override { return m_views; }
    CWindowPlacement GetMainPlacement() const override { return m_wp; }
    void SetMainPlacement(const CWindowPlacement& placement) override
    {
        m_wp = placement;
        ++m_nSetPlacementCalls;
    }
    QString MainCaption() const override { return m_caption; }

    std::vector<IWorkspaceView*> m_views;
    CWindowPlacement m_wp;
    QString m_caption = QStringLiteral("Tarvix Audio Meter");
    int m_nSetPlacementCalls = 0;
};

// The capture side: AllMetersOff switches every fake view off, as the hub
// switches every instrument off.
class CFakeCaptureControl : public ICaptureControl {
public:
    explicit CFakeCaptureControl(CEventLog& log) : m_log(log) {}

    bool IsCaptureOpened() const override { return m_bOpened; }
    void SetDeviceId(int id) override
    {
        m_log.push_back("device " + std::to_string(id));
        m_nDeviceId = id;
    }
    void SetSampleRate(int rate) override
    {
        m_log.push_back("rate " + std::to_string(rate));
        m_nRate = rate;
    }
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
    int m_nDeviceId = 0;
    int m_nRate = 44100;
};
