#pragma once
// The main window: a multiple-document frame whose client is the MDI area
// holding the four instrument windows. No toolbar, no status bar; the caption
// is the application title, followed by what the user must know about the
// input: that it was lost, a device that was not found at start, the
// dropouts counted since the last reset. It shows the menu of the active instrument
// (menu 128 while there is none), sets the check marks as a popup opens,
// dispatches every command by id (its own table, then the active view, then
// the application), keeps its placement in "Settings"/"Position" and reports
// the start and end of a move or size of the main window.
//
// UI thread only.
#include "audio/VelmoraDoc.h"
#include "shell/CommandMap.h"
#include "shell/FrameMenu.h"

#include <QMainWindow>
#include <QTimer>
#include <map>
#include <memory>

class CMeterView;
class CMultiViewFrame;
class CVelmoraApp;
class ISizeMoveListener;
class QMdiArea;
class QMdiSubWindow;

class CMainFrame : public QMainWindow, public IDocumentHost {
    Q_OBJECT
public:
    CMainFrame(CVelmoraApp& app, ISizeMoveListener* sizeMoveListener);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return m_pMdiArea; }
    void AddFrame(CMultiViewFrame* frame);
    // The active instrument window (also while the program is in the
    // background), or nullptr.
    CMultiViewFrame* ActiveFrame() const;
    CMeterView* ActiveView() const;
    void ActivateFrame(CMultiViewFrame* frame);

    // Adds the menu of an instrument template (menu id = its type).
    void AddTemplateMenu(int menuId);
    CFrameMenu* CurrentMenu() const { return m_pCurrentMenu; }
    CFrameMenu* Menu(int menuId) const;
    void ShowMenu(int menuId);
    // Sets the check marks of one popup of the current menu, as its opening does.
    void UpdateCheckMarks(int popup);

    // Dispatches a command: the frame's own table, the active view, the application.
    bool OnCommand(int id);

    void ApplyOnTop(bool onTop);
    // Writes the placement to "Settings"/"Position" (the frame's destruction).
    void SavePlacement() const;

    // IDocumentHost
    void RedrawMainWindow() override;
    void ShowInputLost(const QString& device) override;
    void ShowDropouts(std::uint64_t count) override;
    // A note shown in the title until the input is lost or found again
    // (empty: none).
    void ShowDeviceNote(const QString& note);
    // The title without the notes: what a workspace keeps.
    static QString BaseTitle();
    int RedrawCount() const { return m_nRedraws; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnArrangeIcons(int id);
    void CreateAccelerators();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void GeometryChanged();
    void EnterSizeMove();
    void ExitSizeMove();
    void OnResetDropouts(int id);
    void UpdateTitle();

    CVelmoraApp& m_app;
    ISizeMoveListener* m_pSizeMoveListener;
    QMdiArea* m_pMdiArea;
    std::map<int, std::unique_ptr<CFrameMenu>> m_menus;
    CFrameMenu* m_pCurrentMenu = nullptr;
    CMultiViewFrame* m_pActiveFrame = nullptr;
    bool m_bInSizeMove = false;
    QTimer m_sizeMoveSettle;
    int m_nRedraws = 0;
    QString m_strLostDevice;
    QString m_strDeviceNote;
    std::uint64_t m_nDropouts = 0;

    static const CCommandMap<CMainFrame> s_commands;
};
