#include "meters/common/ColorSettingsDlg.h"
#include "tests/meters/ppm/PpmCtrlFixture.h"

#include <QComboBox>
#include <QMenu>

namespace {
class PpmMenu : public PpmCtrlFixture {
protected:
    void SetUp() override { Make(150, 397); }
    ~PpmMenu() override { CColorSettingsDlg::SetModalRunner({}); }

    struct Item {
        QString text;
        int id;
        bool checked;
    };
    // The menu's items in order, sub-menu items after their parent's text.
    std::vector<Item> Items()
    {
        std::vector<Item> items;
        std::unique_ptr<QMenu> menu = ctrl->BuildContextMenu();
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            items.push_back({ a->text(), a->data().toInt(), a->isChecked() });
            if (QMenu* sub = a->menu())
                for (QAction* s : sub->actions())
                    items.push_back({ s->text(), s->data().toInt(), s->isChecked() });
        }
        return items;
    }
    bool Checked(int id)
    {
        for (const Item& i : Items())
            if (i.id == id)
                return i.checked;
        ADD_FAILURE() << "no item " << id;
        return false;
    }
};
}

TEST_F(PpmMenu, ItemsTextsAndIds)
{
    const std::vector<Item> items = Items();
    const std::vector<std::pair<QString, int>> expected = { { "On", 450 }, { "Horizontal", 460 }, { "Peak Hold", 430 },
        { "Peak Decay", 440 }, { "Decay Time", 0 }, { "Fast", 400 }, { "Medium", 410 }, { "Slow", 420 },
        { "Ballistics", 0 }, { "Digital Peak", 480 }, { "True Peak", 481 }, { "IEC Type I (DIN)", 482 },
        { "IEC Type I (Nordic)", 483 }, { "IEC Type II (BBC)", 484 }, { "IEC Type II (EBU)", 485 }, { "Colors...", 470 } };
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, expected[i].first);
        EXPECT_EQ(items[i].id, expected[i].second);
    }
}

TEST_F(PpmMenu, CheckMarksFollowTheOptions)
{
    EXPECT_FALSE(Checked(450));
    EXPECT_FALSE(Checked(460));
    EXPECT_TRUE(Checked(440)) << "peak decay as constructed";
    EXPECT_TRUE(Checked(410));
    ctrl->OnCommand(430);
    EXPECT_TRUE(Checked(430));
    EXPECT_FALSE(Checked(440)) << "choosing hold took the mark off decay";
    ctrl->OnCommand(420);
    EXPECT_TRUE(Checked(420));
    EXPECT_FALSE(Checked(410));
    ctrl->SetOn(1);
    EXPECT_TRUE(Checked(450));
    EXPECT_FALSE(Checked(470));
}

TEST_F(PpmMenu, DecayAndPeakCommandsRedrawTheBarsKeepingTheirLevel)
{
    Feed(kMinus6Db);
    ctrl->OnCommand(400);
    EXPECT_EQ(ctrl->DecayTime(), 10u);
    EXPECT_EQ(Bar(0).Level(), 300u);
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, Bar(0).EndOf(300)), kGreen);
    EXPECT_FALSE(ctrl->OnCommand(405)) << "ids between the items are ignored";
    EXPECT_EQ(ctrl->DecayTime(), 10u);
}

TEST_F(PpmMenu, ColourDialogOkAppliesColoursAndPointsAndKeepsTheOnState)
{
    ctrl->SetOn(1);
    Feed(kFullScale);
    CColorSettingsDlg::SetModalRunner([](CColorSettingsDlg& dlg) {
        EXPECT_EQ(dlg.TemplateId(), 147);
        EXPECT_EQ(dlg.OverCombo()->currentText(), QStringLiteral("-1 db"));
        dlg.OverCombo()->setCurrentIndex(dlg.OverCombo()->findText(QStringLiteral("-5 db")));
        dlg.m_crOver = RGB(255, 0, 255);
        dlg.OnOK();
        return dlg.Result();
    });
    frame.m_meterOnCalls.clear();
    ctrl->OnCommand(470);
    EXPECT_EQ(ctrl->Params().m_nOverPoint, 310u);
    EXPECT_EQ(ctrl->Params().m_nTweenPoint, 300u);
    EXPECT_EQ(ctrl->Params().m_crOver, RGB(255, 0, 255));
    EXPECT_EQ(ctrl->IsOn(), 1);
    EXPECT_EQ(frame.m_meterOnCalls, (std::vector<int> { 0, 1 })) << "off for the change, then on again";
    EXPECT_EQ(Bar(0).Level(), 0u);
    EXPECT_TRUE(Any(Bar(0).m_rcReadout, RGB(255, 0, 255))) << "the full-scale readout in the new over colour";
    Feed(kFullScale);
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, Bar(0).EndOf(320)), RGB(255, 0, 255)) << "-4 dB is over now";
}

TEST_F(PpmMenu, ColourDialogCancelChangesNothing)
{
    ctrl->SetOn(1);
    Feed(kMinus1Db);
    CColorSettingsDlg::SetModalRunner([](CColorSettingsDlg& dlg) {
        dlg.m_crNorm = RGB(1, 1, 1);
        dlg.OverCombo()->setCurrentIndex(4);
        dlg.OnCancel();
        return dlg.Result();
    });
    frame.m_meterOnCalls.clear();
    ctrl->ShowColorsDialog();
    EXPECT_EQ(ctrl->Params().m_crNorm, kGreen);
    EXPECT_EQ(ctrl->Params().m_nOverPoint, 350u);
    EXPECT_EQ(ctrl->Params().m_nTweenPoint, 300u);
    EXPECT_EQ(ctrl->IsOn(), 1);
    EXPECT_TRUE(frame.m_meterOnCalls.empty());
    EXPECT_EQ(Bar(0).Level(), 350u);
}

TEST_F(PpmMenu, SuspensionKeepsTheOnStateAndIgnoresAnUnmatchedRestore)
{
    ctrl->SetOn(1);
    ctrl->NotifyMinimized(0); // not suspended: nothing to restore
    EXPECT_EQ(ctrl->IsOn(), 1);
    ctrl->NotifyMinimized(1);
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_FALSE(ctrl->IsOnForCapture());
    ctrl->NotifyMinimized(1); // nested: the colour dialog while minimised
    ctrl->NotifyMinimized(0);
    EXPECT_EQ(ctrl->IsOn(), 0);
    ctrl->NotifyMinimized(0);
    EXPECT_EQ(ctrl->IsOn(), 1);
    EXPECT_TRUE(ctrl->IsOnForCapture());
}

TEST_F(PpmMenu, BallisticsChoiceMovesTheMarkAndTheBarsFollowTheReadings)
{
    EXPECT_TRUE(Checked(480)) << "Digital Peak by default";
    Feed(kMinus6Db);
    ctrl->OnCommand(484); // IEC Type II (BBC)
    EXPECT_TRUE(Checked(484));
    EXPECT_FALSE(Checked(480));
    EXPECT_EQ(Bar(0).Level(), 0u) << "a new mode starts from silence";

    Feed(kFullScale);
    EXPECT_EQ(Bar(0).Level(), 0u) << "block peaks are not this mode's reading";
    const float minus6[2] = { 0.5f, 0.5f };
    ctrl->SetLevels(minus6, 0.01, 2); // measured before the change, in DIN
    EXPECT_EQ(Bar(0).Level(), 0u);
    ctrl->SetLevels(minus6, 0.01, 4);
    EXPECT_EQ(CPpmLevelTable::DbTable()[Bar(0).Level()], -6.1);
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, Bar(0).EndOf(Bar(0).Level())), kGreen);

    // The return paints the fall: 24 dB in 2.8 s, so 1.4 s later -18 dB.
    const float silence[2] = { 0, 0 };
    ctrl->SetLevels(silence, 1.4, -1);
    const double db = CPpmLevelTable::DbTable()[Bar(0).Level()];
    EXPECT_NEAR(db, -18.0, 0.6);
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, Bar(0).EndOf(280)), kBlack) << "what fell (here -8 dB) is black";
    EXPECT_EQ(Pixel(Bar(0).m_rcBar.left, Bar(0).EndOf(Bar(0).Level())), kGreen);
}
