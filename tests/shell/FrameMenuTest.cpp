#include "tests/common/MenuChecks.h"
#include "shell/FrameMenu.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {
QStringList Texts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

std::vector<int> Ids(const QMenu* menu)
{
    std::vector<int> ids;
    for (const QAction* a : menu->actions())
        ids.push_back(CFrameMenu::CommandId(a));
    return ids;
}

std::vector<std::string> DeviceNames(int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back("Device " + std::to_string(i));
    return names;
}
}

TEST(FrameMenu, PopupsHaveTheirTitlesItemsAndIds)
{
    const struct {
        int menuId;
        CFrameMenu::Popup popup;
        const char* title;
        QStringList texts;
        std::vector<int> ids;
    } cases[] = {
        { 132, CFrameMenu::Device, "&Device", { "WaveMapper" }, { 32829 } },
        { 132, CFrameMenu::Priority, "&Priority", { "Normal", "High" }, { 32831, 32832 } },
        { 132, CFrameMenu::SampleRate, "&Sample Rate", { "44100Hz", "48000Hz" }, { 32837, 32838 } },
        { 132, CFrameMenu::Window, "&Window", { "&Arrange Icons", "-", "Allways on top", "Reset Dropout Count" },
          { 57649, 0, 32842, 32843 } },
        { 132, CFrameMenu::Help, "&Help", { "&Help...", "-", "Lumetra Homepage", "(Homepage)", "-", "&About Lumetra..." },
          { 32835, 0, 32840, 0, 0, 57664 } },
        // The main window's own menu: the device popup holds only a separator.
        { 128, CFrameMenu::Device, "&Device", { "-" }, { 0 } },
        { 128, CFrameMenu::Priority, "&Priority", { "Normal", "High" }, { 32831, 32832 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        CFrameMenu menu(c.menuId, nullptr);
        EXPECT_EQ(menu.PopupAt(c.popup)->title(), QString::fromLatin1(c.title));
        EXPECT_EQ(Texts(menu.PopupAt(c.popup)), c.texts);
        EXPECT_EQ(Ids(menu.PopupAt(c.popup)), c.ids);
    }
}

// Devices follow WaveMapper; past the twenty-first they have no handler.
TEST(FrameMenu, FirstActivationAddsDevicesAndTheDealerItemWhoseChoiceSendsTheirIds)
{
    std::vector<int> sent;
    CFrameMenu menu(129, [&sent](int id) { sent.push_back(id); });
    menu.SetUpOnFirstActivation({ "Line In", "USB Mic" }, QStringLiteral("www.dealer.example"));
    EXPECT_EQ(Texts(menu.PopupAt(CFrameMenu::Device)), QStringList({ "WaveMapper", "Line In", "USB Mic" }));
    EXPECT_EQ(Ids(menu.PopupAt(CFrameMenu::Device)), std::vector<int>({ 32829, 10000, 10001 }));
    const QAction* dealer = menu.PopupAt(CFrameMenu::Help)->actions()[3];
    EXPECT_EQ(dealer->text(), QStringLiteral("www.dealer.example"));
    EXPECT_EQ(CFrameMenu::CommandId(dealer), 32841);
    menu.PopupAt(CFrameMenu::SampleRate)->actions()[1]->trigger();
    menu.PopupAt(CFrameMenu::Device)->actions()[2]->trigger();
    menu.PopupAt(CFrameMenu::Help)->actions()[3]->trigger();
    EXPECT_EQ(sent, std::vector<int>({ 32838, 10001, 32841 }));

    // A second set-up adds nothing.
    menu.SetUpOnFirstActivation({ "Line In", "USB Mic" }, QStringLiteral("www.dealer.example"));
    EXPECT_EQ(menu.PopupAt(CFrameMenu::Device)->actions().size(), 3);

    // A rescan replaces the devices: one unplugged, a JACK server started.
    menu.ReplaceDeviceItems({ "USB Mic", "JACK: system" });
    EXPECT_EQ(Texts(menu.PopupAt(CFrameMenu::Device)), QStringList({ "WaveMapper", "USB Mic", "JACK: system" }));
    EXPECT_EQ(Ids(menu.PopupAt(CFrameMenu::Device)), std::vector<int>({ 32829, 10000, 10001 }));

    menu.ReplaceDeviceItems(DeviceNames(23));
    const QList<QAction*> items = menu.PopupAt(CFrameMenu::Device)->actions();
    ASSERT_EQ(items.size(), 24);
    EXPECT_EQ(CFrameMenu::CommandId(items[21]), 10020);
    EXPECT_TRUE(items[21]->isEnabled());
    EXPECT_EQ(CFrameMenu::CommandId(items[22]), 10021);
    EXPECT_FALSE(items[22]->isEnabled());
    EXPECT_FALSE(items[23]->isEnabled());

    // No rescan before the set-up, nor on the main window's own menu.
    CFrameMenu fresh(129, nullptr);
    fresh.ReplaceDeviceItems({ "Line In" });
    EXPECT_EQ(Texts(fresh.PopupAt(CFrameMenu::Device)), QStringList({ "WaveMapper" }));
    CFrameMenu main(128, nullptr);
    main.SetUpOnFirstActivation({ "Line In" }, QStringLiteral("x"));
    const QStringList before = Texts(main.PopupAt(CFrameMenu::Device));
    main.ReplaceDeviceItems({ "USB Mic", "JACK: system" });
    EXPECT_EQ(Texts(main.PopupAt(CFrameMenu::Device)), before);
}

TEST(FrameMenu, CheckMarksFollowDevicePriorityRateAndOnTop)
{
    CFrameMenu menu(132, nullptr);
    menu.SetUpOnFirstActivation(DeviceNames(3), QStringLiteral("x"));
    const struct {
        CFrameMenu::Popup popup;
        void (*set)(CCheckState&);
        std::vector<int> checked;
    } cases[] = {
        { CFrameMenu::Device, [](CCheckState& s) { s.deviceId = -1; }, { 0 } }, // WaveMapper
        { CFrameMenu::Device, [](CCheckState& s) { s.deviceId = 2; }, { 3 } },  // the third device item
        { CFrameMenu::Device, [](CCheckState& s) { s.deviceId = 7; }, {} },     // no such item
        { CFrameMenu::Priority, [](CCheckState& s) { s.priority = 0; }, { 0 } },
        { CFrameMenu::Priority, [](CCheckState& s) { s.priority = 1; }, { 1 } },
        { CFrameMenu::SampleRate, [](CCheckState& s) { s.sampleRate = 44100; }, { 0 } },
        { CFrameMenu::SampleRate, [](CCheckState& s) { s.sampleRate = 48000; }, { 1 } },
        { CFrameMenu::SampleRate, [](CCheckState& s) { s.sampleRate = 22050; }, {} },
        { CFrameMenu::Window, [](CCheckState& s) { s.onTop = true; }, { 2 } },
        { CFrameMenu::Window, [](CCheckState& s) { s.onTop = false; }, {} },
    };
    for (const auto& c : cases) {
        CCheckState state;
        c.set(state);
        menu.UpdateCheckMarks(c.popup, state);
        EXPECT_EQ(CheckedPositions(menu.PopupAt(c.popup)), c.checked) << "row " << (&c - cases);
    }
}
