#include "shell/MainFrame.h"

#include "audio/AudioCapture.h"
#include "meters/common/MeterView.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPlacement.h"
#include "shell/MultiViewFrame.h"
#include "shell/ShellIds.h"
#include "shell/SizeMoveListener.h"
#include "shell/VelmoraApp.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QWindow>

using namespace ShellIds;

const CCommandMap<CMainFrame> CMainFrame::s_commands {
    { ID_WINDOW_ARRANGE, ID_WINDOW_ARRANGE, &CMainFrame::OnArrangeIcons },
    { ID_RESET_DROPOUTS, ID_RESET_DROPOUTS, &CMainFrame::OnResetDropouts },
};

CMainFrame::CMainFrame(CVelmoraApp& app, ISizeMoveListener* sizeMoveListener)
    : m_app(app)
    , m_pSizeMoveListener(sizeMoveListener)
    , m_pMdiArea(new QMdiArea)
{
    setWindowTitle(BaseTitle());
    resize(kDefaultMainWidth, kDefaultMainHeight);
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    m_menus[IDR_MAINFRAME] = std::make_unique<CFrameMenu>(IDR_MAINFRAME, [this](int id) { OnCommand(id); });
    connect(m_menus[IDR_MAINFRAME].get(), &CFrameMenu::PopupAboutToShow, this, &CMainFrame::UpdateCheckMarks);
    ShowMenu(IDR_MAINFRAME);
    CreateAccelerators();

    m_sizeMoveSettle.setSingleShot(true);
    m_sizeMoveSettle.setInterval(kSizeMoveSettleMs);
    connect(&m_sizeMoveSettle, &QTimer::timeout, this, &CMainFrame::ExitSizeMove);
}

CMainFrame::~CMainFrame()
{
    // The popups belong to the menus, not to the menu bar.
    menuBar()->clear();
}

// ---- menus and check marks ---------------------------------------------------------

void CMainFrame::AddTemplateMenu(int menuId)
{
    auto menu = std::make_unique<CFrameMenu>(menuId, [this](int id) { OnCommand(id); });
    connect(menu.get(), &CFrameMenu::PopupAboutToShow, this, &CMainFrame::UpdateCheckMarks);
    m_menus[menuId] = std::move(menu);
}

CFrameMenu* CMainFrame::Menu(int menuId) const
{
    const auto it = m_menus.find(menuId);
    return it == m_menus.end() ? nullptr : it->second.get();
}

void CMainFrame::ShowMenu(int menuId)
{
    CFrameMenu* menu = Menu(menuId);
    if (!menu || menu == m_pCurrentMenu)
        return;
    m_pCurrentMenu = menu;
    // An instrument's menu is first shown at the first activation of its
    // view: that is when it gets its device items and dealer item. Doing it
    // here as well keeps the menu right even when a view class has already
    // had its first activation in an earlier main window.
    if (menuId != IDR_MAINFRAME)
        m_app.OnFirstActivation();
    QMenuBar* bar = menuBar();
    bar->clear();
    for (int i = 0; i < CFrameMenu::PopupCount; ++i)
        bar->addMenu(menu->PopupAt(i));
}

void CMainFrame::UpdateCheckMarks(int popup)
{
    // Each popup knows what it is, so the marks land on Device, Priority and
    // Sample Rate whether or not a maximised instrument window puts its own
    // controls into the menu bar.
    if (!m_pCurrentMenu)
        return;
    // Devices come and go; while nothing captures, the list is taken anew.
    if (popup == CFrameMenu::Device && m_app.RescanDevices())
        m_pCurrentMenu->ReplaceDeviceItems(m_app.Capture().Device().Names());
    m_pCurrentMenu->UpdateCheckMarks(popup, m_app.CheckState());
}

void CMainFrame::CreateAccelerators()
{
    struct Accel {
        QKeySequence keys;
        int id;
    };
    std::vector<Accel> table = {
        { QKeySequence(Qt::Key_F1), ID_HELP_INDEX },
        { QKeySequence(Qt::SHIFT | Qt::Key_F1), ID_HELP_INDEX },
    };
    for (int k = 0; k < kWorkspaceKeys; ++k) {
        const auto key = static_cast<Qt::Key>(Qt::Key_F5 + k);
        table.push_back({ QKeySequence(key), ID_WSP_RECALL_FIRST + k });
        table.push_back({ QKeySequence(Qt::SHIFT | key), ID_WSP_STORE_FIRST + k });
    }
    for (const Accel& a : table) {
        auto* action = new QAction(this);
        action->setShortcut(a.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setData(a.id);
        const int id = a.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        addAction(action);
    }
}

// ---- commands ------------------------------------------------------------------------

bool CMainFrame::OnCommand(int id)
{
    if (s_commands.Dispatch(*this, id))
        return true;
    if (CMeterView* view = ActiveView(); view && view->OnCommand(id))
        return true;
    return m_app.OnCommand(id);
}

void CMainFrame::OnArrangeIcons(int)
{
    // Minimised instrument windows are lined up along the bottom of the
    // client area, left to right, in a new row above when one is full.
    const QSize area = m_pMdiArea->viewport()->size();
    int x = 0;
    int y = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, size.height());
        window->move(x, y - size.height());
        x += size.width();
    }
}

// ---- instrument windows ------------------------------------------------------------------

void CMainFrame::AddFrame(CMultiViewFrame* frame) { m_pMdiArea->addSubWindow(frame); }

CMultiViewFrame* CMainFrame::ActiveFrame() const
{
    // The current sub-window stays current while the program is in the
    // background, as the active MDI child does.
    return qobject_cast<CMultiViewFrame*>(m_pMdiArea->currentSubWindow());
}

CMeterView* CMainFrame::ActiveView() const
{
    CMultiViewFrame* frame = ActiveFrame();
    return frame ? frame->View() : nullptr;
}

void CMainFrame::ActivateFrame(CMultiViewFrame* frame)
{
    if (frame)
        m_pMdiArea->setActiveSubWindow(frame);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window)
{
    auto* frame = qobject_cast<CMultiViewFrame*>(window);
    // Null when the program loses the focus: the active child stays.
    if (!frame || frame == m_pActiveFrame)
        return;
    CMultiViewFrame* previous = m_pActiveFrame;
    m_pActiveFrame = frame;
    if (previous && previous->View())
        previous->View()->OnActivateView(false);
    if (CMeterView* view = frame->View()) {
        // The instrument's menu is shown before its view is told, so that the
        // view's first activation sets up the menu the user will see.
        ShowMenu(view->InstrumentType());
        view->OnActivateView(true);
    }
}

// ---- window state ------------------------------------------------------------------------

void CMainFrame::ApplyOnTop(bool onTop)
{
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    // Told to the window system in place: changing a shown widget's flags
    // would hide and re-create its window.
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle())
        window->setFlags(flags);
}

void CMainFrame::SavePlacement() const
{
    CSettingsStore::WriteBinary(QString::fromLatin1(kSectionSettings), QString::fromLatin1(kEntryPosition),
        GetTopLevelPlacement(this).ToBytes());
}

void CMainFrame::RedrawMainWindow()
{
    ++m_nRedraws;
    if (isVisible())
        repaint();
}

QString CMainFrame::BaseTitle() { return QString::fromLatin1(kAppTitle); }

void CMainFrame::UpdateTitle()
{
    QString title = BaseTitle();
    if (!m_strLostDevice.isEmpty())
        title += QStringLiteral(" - input lost: ") + m_strLostDevice;
    else if (!m_strDeviceNote.isEmpty())
        title += QStringLiteral(" - ") + m_strDeviceNote;
    if (m_nDropouts > 0)
        title += QStringLiteral(" - %1 dropout%2").arg(m_nDropouts).arg(m_nDropouts == 1 ? "" : "s");
    setWindowTitle(title);
}

void CMainFrame::ShowInputLost(const QString& device)
{
    m_strLostDevice = device;
    // Once the input is back, the note from the start has served its turn.
    if (device.isEmpty())
        m_strDeviceNote.clear();
    UpdateTitle();
}

void CMainFrame::ShowDropouts(std::uint64_t count)
{
    m_nDropouts = count;
    UpdateTitle();
}

void CMainFrame::ShowDeviceNote(const QString& note)
{
    m_strDeviceNote = note;
    UpdateTitle();
}

void CMainFrame::OnResetDropouts(int)
{
    if (CVelmoraDoc* doc = m_app.Document())
        doc->ResetDropouts();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_app.OnCloseMainFrame();
    event->accept();
}

// The window manager moves and sizes a top-level window and shows us only the
// resulting geometry. A move or size starts with the first change (or a
// press on the frame, where the platform reports one) and ends when the
// geometry has been still for a moment (or at the release).
bool CMainFrame::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::NonClientAreaMouseButtonPress:
        EnterSizeMove();
        break;
    case QEvent::NonClientAreaMouseButtonRelease:
        if (m_bInSizeMove) {
            m_sizeMoveSettle.stop();
            ExitSizeMove();
        }
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    GeometryChanged();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    GeometryChanged();
}

void CMainFrame::GeometryChanged()
{
    if (!isVisible())
        return;
    EnterSizeMove();
    m_sizeMoveSettle.start();
}

void CMainFrame::EnterSizeMove()
{
    if (m_bInSizeMove)
        return;
    m_bInSizeMove = true;
    if (m_pSizeMoveListener)
        m_pSizeMoveListener->OnEnterSizeMove();
}

void CMainFrame::ExitSizeMove()
{
    if (!m_bInSizeMove)
        return;
    m_bInSizeMove = false;
    if (m_pSizeMoveListener)
        m_pSizeMoveListener->OnExitSizeMove();
}
