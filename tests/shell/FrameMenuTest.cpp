#include "shell/FrameMenu.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {
// Each item as "text=command id", a separator as "-=0"; disabled items end in " off".
QStringList Items(const QMenu* menu)
{
    QStringList items;
    for (const QAction* a : menu->actions())
        items << QStringLiteral("%1=%2%3").arg(a->isSeparator() ? QStringLiteral("-") : a->text()).arg(CFrameMenu::CommandId(a))
                     .arg(a->isEnabled() ? "" : " off");
    return items;
}
}

TEST(FrameMenu, PopupsHaveTheirTitlesItemsAndIds)
{
    const struct {
        int menuId;
        CFrameMenu::Popup popup;
        const char* title;
        QStringList items;
    } cases[] = {
        { 132, CFrameMenu::Device, "&Device", { "WaveMapper=32829" } },
        { 132, CFrameMenu::Priority, "&Priority", { "Normal=32831", "High=32832" } },
        { 132, CFrameMenu::SampleRate, "&Sample Rate", { "44100Hz=32837", "48000Hz=32838" } },
        { 132, CFrameMenu::Window, "&Window", { "&Arrange Icons=57649", "-=0", "Allways on top=32842", "Reset Dropout Count=32843" } },
        { 132, CFrameMenu::Help, "&Help",
          { "&Help...=32835", "-=0", "Lumetra Homepage=32840", "(Homepage)=0", "-=0", "&About Lumetra...=57664" } },
        // The main window's own menu: the device popup holds only a separator.
        { 128, CFrameMenu::Device, "&Device", { "-=0" } },
    };
    for (const auto& c : cases) {
        CFrameMenu menu(c.menuId, nullptr);
        EXPECT_EQ(menu.PopupAt(c.popup)->title(), QString::fromLatin1(c.title));
        EXPECT_EQ(Items(menu.PopupAt(c.popup)), c.items) << c.title;
    }
}

// Devices follow WaveMapper; past the twenty-first they have no handler.
TEST(FrameMenu, FirstActivationAddsDevicesAndTheDealerItemWhoseChoiceSendsTheirIds)
{
    std::vector<int> sent;
    CFrameMenu menu(129, [&sent](int id) { sent.push_back(id); });
    QMenu* devices = menu.PopupAt(CFrameMenu::Device);
    for (int twice = 0; twice < 2; ++twice) // a second set-up adds nothing
        menu.SetUpOnFirstActivation({ "Line In", "USB Mic" }, QStringLiteral("www.dealer.example"));
    EXPECT_EQ(Items(devices), QStringList({ "WaveMapper=32829", "Line In=10000", "USB Mic=10001" }));
    EXPECT_EQ(Items(menu.PopupAt(CFrameMenu::Help))[3], QStringLiteral("www.dealer.example=32841"));
    for (const auto& [popup, item] : { std::pair { CFrameMenu::SampleRate, 1 }, { CFrameMenu::Device, 2 }, { CFrameMenu::Help, 3 } })
        menu.PopupAt(popup)->actions()[item]->trigger();
    EXPECT_EQ(sent, std::vector<int>({ 32838, 10001, 32841 }));

    // A rescan replaces the devices: one unplugged, a JACK server started.
    menu.ReplaceDeviceItems({ "USB Mic", "JACK: system" });
    EXPECT_EQ(Items(devices), QStringList({ "WaveMapper=32829", "USB Mic=10000", "JACK: system=10001" }));
    menu.ReplaceDeviceItems(std::vector<std::string>(23, "Device"));
    EXPECT_EQ(Items(devices).mid(21), QStringList({ "Device=10020", "Device=10021 off", "Device=10022 off" }));

    // No rescan before the set-up.
    CFrameMenu fresh(129, nullptr);
    fresh.ReplaceDeviceItems({ "Line In" });
    EXPECT_EQ(Items(fresh.PopupAt(CFrameMenu::Device)), QStringList({ "WaveMapper=32829" }));
}
