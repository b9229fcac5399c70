#pragma once
// One menu of the main window: the five popups Device, Priority, Sample Rate,
// Window and Help, with the exact item texts and command ids. Each instrument
// template has its own (menus 129, 131, 132, 133); menu 128 is shown while no
// instrument window exists and its Device popup holds only a separator.
// Every item carries its command id; choosing one calls the command handler.
//
// UI thread only.
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

// What the check marks show.
struct CCheckState {
    int deviceId = 0;   // -1 the system default, else a device number
    int priority = 1;   // 0 Normal, 1 High
    int sampleRate = 44100;
    bool onTop = false;
};

class CFrameMenu : public QObject {
    Q_OBJECT
public:
    enum Popup { Device, Priority, SampleRate, Window, Help, PopupCount };

    CFrameMenu(int menuId, std::function<void(int)> onCommand, QObject* parent = nullptr);
    ~CFrameMenu() override;

    int MenuId() const { return m_nMenuId; }
    QMenu* PopupAt(int popup) const { return m_popups[popup]; }
    // The command id an item carries (0 for a separator).
    static int CommandId(const QAction* action);

    // The menu set-up of an instrument's first activation: the device items
    // after "WaveMapper" (ids 10000 + n) and the dealer homepage in place of
    // the "(Homepage)" placeholder. Runs once per menu.
    void SetUpOnFirstActivation(const std::vector<std::string>& deviceNames, const QString& dealerHomePage);
    bool IsSetUp() const { return m_bSetUp; }
    // Replaces the device items after "WaveMapper" with a fresh list (the
    // devices found when the popup opens). Only on a set-up instrument menu.
    void ReplaceDeviceItems(const std::vector<std::string>& deviceNames);

    // The check marks of one popup, set as it opens.
    void UpdateCheckMarks(int popup, const CCheckState& state);

signals:
    // A popup is about to open; the owner computes its check marks.
    void PopupAboutToShow(int popup);

private:
    QMenu* NewPopup(int popup, const QString& title);
    QAction* AddItem(QMenu* menu, const QString& text, int id, bool checkable = false);
    void BuildDevicePopup();
    void BuildPriorityPopup();
    void BuildRatePopup();
    void BuildWindowPopup();
    void BuildHelpPopup();
    static void CheckOnlyPosition(QMenu* menu, int position);
    void AddDeviceItems(const std::vector<std::string>& deviceNames);

    int m_nMenuId;
    std::function<void(int)> m_onCommand;
    std::array<QMenu*, PopupCount> m_popups {};
    bool m_bSetUp = false;
};
