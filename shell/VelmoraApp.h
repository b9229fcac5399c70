#pragma once
// The application: starts the program in a fixed order (program settings,
// the four instrument templates, the capture thread, the main frame, the
// document with its four instrument windows, the main window's placement,
// priorities, sample rate, the first open of the device, the active window),
// serves the global commands (priority, always on top, help, the two web
// pages, the About box) and ends it again, writing what it keeps.
//
// It is also what the views, the hub and the workspace commands see of the
// shell: the view host, the main window's side of a move or size, and the
// workspace host.
//
// UI thread only (the capture thread is owned here, but runs on its own).
#include "meters/common/MeterSharedState.h"
#include "meters/common/ViewHost.h"
#include "shell/CommandMap.h"
#include "shell/DocTemplate.h"
#include "shell/FrameMenu.h"
#include "shell/SizeMoveListener.h"
#include "workspace/WorkspaceHost.h"

#include <QString>
#include <memory>
#include <vector>

class CAudioCapture;
class CDocCaptureControl;
class CMainFrame;
class CMeterView;
class CMultiViewFrame;
class CVelmoraDoc;
class CWspCommands;

class CVelmoraApp : public IViewHost, public ISizeMoveListener, public IWorkspaceHost {
public:
    CVelmoraApp();
    ~CVelmoraApp() override;
    CVelmoraApp(const CVelmoraApp&) = delete;
    CVelmoraApp& operator=(const CVelmoraApp&) = delete;

    // The start-up; false when the program cannot start (no input device:
    // the message has been shown). The main window is shown on success.
    bool InitInstance();
    // Writes "Priority", "MsgDecay" and "OnTop" and ends the capture thread;
    // returns the exit code.
    int ExitInstance();
    // The main window's close: the document closes (its settings, capture
    // stop, workspace file, active window, the views' settings), then the
    // main window's placement is written.
    void OnCloseMainFrame();

    // The application's commands, then the document's (workspaces, device,
    // sample rate); true when handled.
    bool OnCommand(int id);

    // Lists the input devices again while no capture runs, keeping the
    // chosen device by its name; true when the list was taken anew.
    bool RescanDevices();

    // Priority 0 (Normal) or 1 (High); other values change no thread.
    void SetPriority(int priority);
    int Priority() const { return m_nPriority; }
    bool OnTop() const { return m_bOnTop; }
    const QString& VersionText() const { return m_strVersion; }
    const QString& OsName() const { return m_strOsName; }
    const QString& DealerHomePage() const { return m_strDealerHomePage; }
    CCheckState CheckState() const;

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    CVelmoraDoc* Document() const { return m_pDoc.get(); }
    CAudioCapture& Capture() { return *m_pCapture; }
    CWspCommands* WorkspaceCommands() const { return m_pWspCommands.get(); }
    const std::vector<CDocTemplate>& Templates() const { return m_templates; }
    // The instrument windows in document order (PPM, correlation, analyzer, stereo).
    const std::vector<CMultiViewFrame*>& Frames() const { return m_frames; }
    CMultiViewFrame* FrameOfType(int type) const;

    // IViewHost
    CVelmoraDoc& Doc() override { return *m_pDoc; }
    QWidget* ActiveView() const override;
    void OnFirstActivation() override;

    // ISizeMoveListener
    void OnEnterSizeMove() override;
    void OnExitSizeMove() override;

    // IWorkspaceHost
    std::vector<IWorkspaceView*> Views() const override;
    CWindowPlacement GetMainPlacement() const override;
    void SetMainPlacement(const CWindowPlacement& placement) override;
    QString MainCaption() const override;
    ILoudnessWorkspaceView* LoudnessView() const override;

private:
    void ReadProgramSettings();
    bool OpenDocument();
    void ChooseStoredDevice();
    void CreateInstrumentWindow(const CDocTemplate& docTemplate);
    void CloseDocument();
    void RestoreMainWindow();
    void ApplySampleRate();
    void OpenCaptureIfMetersOn();
    void ActivateStoredView();
    QString ActiveTag() const;

    void OnPriority(int id);
    void OnOnTop(int id);
    void OnHelp(int id);
    void OnHomepage(int id);
    void OnDealerHomepage(int id);
    void OnAbout(int id);

    int m_nPriority = 1;
    bool m_bOnTop = false;
    QString m_strVersion;
    QString m_strOsName;
    QString m_strDealerHomePage;
    QString m_strDeviceNote;
    std::vector<CDocTemplate> m_templates;
    std::unique_ptr<CAudioCapture> m_pCapture;
    // The instruments' program-wide state (tick counters, correlation
    // smoothing): one for the run, handed to the hub's instruments.
    CMeterSharedState m_meterState;
    std::unique_ptr<CVelmoraDoc> m_pDoc;
    std::unique_ptr<CDocCaptureControl> m_pCaptureControl;
    std::unique_ptr<CWspCommands> m_pWspCommands;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::vector<CMultiViewFrame*> m_frames;
    bool m_bDocumentOpen = false;
    bool m_bPriorityRefusalShown = false;

    static const CCommandMap<CVelmoraApp> s_commands;
};
