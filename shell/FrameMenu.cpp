#include "shell/FrameMenu.h"

#include "shell/ShellIds.h"

#include <QAction>
#include <QMenu>

using namespace ShellIds;

CFrameMenu::CFrameMenu(int menuId, std::function<void(int)> onCommand, QObject* parent)
    : QObject(parent)
    , m_nMenuId(menuId)
    , m_onCommand(std::move(onCommand))
{
    BuildDevicePopup();
    BuildPriorityPopup();
    BuildRatePopup();
    BuildWindowPopup();
    BuildHelpPopup();
}

CFrameMenu::~CFrameMenu()
{
    for (QMenu* popup : m_popups)
        delete popup;
}

int CFrameMenu::CommandId(const QAction* action) { return action ? action->data().toInt() : 0; }

QMenu* CFrameMenu::NewPopup(int popup, const QString& title)
{
    auto* menu = new QMenu(title);
    m_popups[popup] = menu;
    connect(menu, &QMenu::aboutToShow, this, [this, popup] { emit PopupAboutToShow(popup); });
    return menu;
}

QAction* CFrameMenu::AddItem(QMenu* menu, const QString& text, int id, bool checkable)
{
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [this, action] {
        if (m_onCommand)
            m_onCommand(CommandId(action));
    });
    return action;
}

void CFrameMenu::BuildDevicePopup()
{
    QMenu* menu = NewPopup(Device, QStringLiteral("&Device"));
    if (m_nMenuId == IDR_MAINFRAME)
        menu->addSeparator();
    else
        AddItem(menu, QStringLiteral("WaveMapper"), ID_DEVICE_WAVEMAPPER, true);
}

void CFrameMenu::BuildPriorityPopup()
{
    QMenu* menu = NewPopup(Priority, QStringLiteral("&Priority"));
    AddItem(menu, QStringLiteral("Normal"), ID_PRIORITY_NORMAL, true);
    AddItem(menu, QStringLiteral("High"), ID_PRIORITY_HIGH, true);
}

void CFrameMenu::BuildRatePopup()
{
    QMenu* menu = NewPopup(SampleRate, QStringLiteral("&Sample Rate"));
    AddItem(menu, QStringLiteral("44100Hz"), ID_RATE_44100, true);
    AddItem(menu, QStringLiteral("48000Hz"), ID_RATE_48000, true);
}

void CFrameMenu::BuildWindowPopup()
{
    QMenu* menu = NewPopup(Window, QStringLiteral("&Window"));
    AddItem(menu, QStringLiteral("&Arrange Icons"), ID_WINDOW_ARRANGE);
    menu->addSeparator();
    AddItem(menu, QStringLiteral("Allways on top"), ID_ON_TOP, true);
    AddItem(menu, QStringLiteral("Reset Dropout Count"), ID_RESET_DROPOUTS);
}

void CFrameMenu::BuildHelpPopup()
{
    QMenu* menu = NewPopup(Help, QStringLiteral("&Help"));
    AddItem(menu, QStringLiteral("&Help..."), ID_HELP_INDEX);
    menu->addSeparator();
    AddItem(menu, QStringLiteral("Lumetra Homepage"), ID_HOMEPAGE);
    // A placeholder until the first activation names the dealer's page.
    AddItem(menu, QStringLiteral("(Homepage)"), 0);
    menu->addSeparator();
    AddItem(menu, QStringLiteral("&About Lumetra..."), ID_APP_ABOUT);
}

void CFrameMenu::SetUpOnFirstActivation(const std::vector<std::string>& deviceNames, const QString& dealerHomePage)
{
    if (m_bSetUp)
        return;
    m_bSetUp = true;
    AddDeviceItems(deviceNames);
    const QList<QAction*> help = m_popups[Help]->actions();
    if (help.size() > kDealerItemPosition) {
        QAction* dealer = help[kDealerItemPosition];
        // '&' would be taken as a mnemonic; the address is shown as it is.
        dealer->setText(QString(dealerHomePage).replace(QLatin1Char('&'), QStringLiteral("&&")));
        dealer->setData(ID_DEALER_HOMEPAGE);
    }
}

void CFrameMenu::AddDeviceItems(const std::vector<std::string>& deviceNames)
{
    QMenu* devices = m_popups[Device];
    for (std::size_t n = 0; n < deviceNames.size(); ++n) {
        const int id = ID_DEVICE_FIRST + static_cast<int>(n);
        QAction* item = AddItem(devices, QString::fromStdString(deviceNames[n]), id, true);
        // Ids past the served range have no handler: shown, but disabled.
        item->setEnabled(id <= ID_DEVICE_LAST);
    }
}

void CFrameMenu::ReplaceDeviceItems(const std::vector<std::string>& deviceNames)
{
    if (!m_bSetUp || m_nMenuId == IDR_MAINFRAME)
        return;
    QMenu* devices = m_popups[Device];
    const QList<QAction*> items = devices->actions();
    for (int i = 1; i < items.size(); ++i) {
        devices->removeAction(items[i]);
        delete items[i];
    }
    AddDeviceItems(deviceNames);
}

void CFrameMenu::CheckOnlyPosition(QMenu* menu, int position)
{
    const QList<QAction*> items = menu->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isCheckable())
            items[i]->setChecked(i == position);
    }
}

void CFrameMenu::UpdateCheckMarks(int popup, const CCheckState& state)
{
    switch (popup) {
    case Device:
        // Position 0 is "WaveMapper", device n stands at position n + 1.
        CheckOnlyPosition(m_popups[Device], state.deviceId == -1 ? 0 : state.deviceId + 1);
        break;
    case Priority:
        CheckOnlyPosition(m_popups[Priority], state.priority == 0 ? 0 : state.priority == 1 ? 1 : -1);
        break;
    case SampleRate:
        CheckOnlyPosition(m_popups[SampleRate], state.sampleRate == kRate44100 ? 0 : state.sampleRate == kRate48000 ? 1 : -1);
        break;
    case Window:
        for (QAction* item : m_popups[Window]->actions()) {
            if (CommandId(item) == ID_ON_TOP)
                item->setChecked(state.onTop);
        }
        break;
    default:
        break;
    }
}
