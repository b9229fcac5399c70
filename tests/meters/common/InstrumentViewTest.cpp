// What every instrument window shares, run once per instrument: switching
// through the hub, a missing device, the minimised pause, the settings and
// workspace records, arranging and the first activation.
#include "meters/analyzer/FftView.h"
#include "meters/correlation/CorView.h"
#include "meters/ppm/PpmView.h"
#include "meters/stereo/StereoView.h"
#include "platform/SettingsStore.h"
#include "tests/common/ViewTestBench.h"
#include "workspace/Wsp.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Per instrument: its main-menu on/off command, settings section and placement
// entry, and where its workspace record keeps the "active" flag.
constexpr const char* kNames[][2] = { { "PPM", "PPM" }, { "COR", "Correlation" }, { "FFT", "Analyzer" },
    { "STM", "Stereo-Meter" } };
template <typename TView, int OnOff, int ActiveParam, int Names>
struct Kind {
    using View = TView;
    static constexpr int kOnOff = OnOff, kActiveParam = ActiveParam;
    static constexpr const char* kSection = kNames[Names][0];
    static constexpr const char* kPlacement = kNames[Names][1];
};
using PpmKind = Kind<CPpmView, 32771, 4, 0>;
using CorKind = Kind<CCorView, 32772, 2, 1>;
using FftKind = Kind<CFftView, 32781, 6, 2>;
using StereoKind = Kind<CStereoView, 32791, 4, 3>;

template <typename Kind>
class InstrumentViewTest : public CViewTestBench {
protected:
    using View = typename Kind::View;
    // Capture stops while the view still lives, so no block reaches a
    // control that is gone.
    ~InstrumentViewTest() override { Release(); }
    void Release()
    {
        if (doc.MeterCount() > 0)
            doc.MeterOff(true);
        doc.DetachInstruments();
        view.reset();
    }

    void Make() { view = CreateView<View>(300, 300, frame); }
    int IsOn() { return view->Ctrl()->IsOn(); }
    bool OnForCapture()
    {
        if constexpr (std::is_same_v<View, CFftView>)
            return view->Ctrl()->CaptureState().IsOn();
        else
            return view->Ctrl()->IsOnForCapture();
    }
    // On, on for capture, the hub's meter count, the device open, the caption's last state.
    std::tuple<int, bool, int, bool, int> State()
    {
        return { IsOn(), OnForCapture(), doc.MeterCount(), driver.IsOpen(), frame.m_meterOnCalls.back() };
    }
    void ToggleFromTheMainMenu() { EXPECT_TRUE(view->OnCommand(Kind::kOnOff)); }
    static QString Section() { return QString::fromLatin1(Kind::kSection); }
    static QString Placement() { return QString::fromLatin1(Kind::kPlacement); }

    // A workspace holding this instrument's record, other options zero.
    static CWsp Workspace(int on, int active, int showCmd = SW_SHOWNORMAL)
    {
        CWinSet record;
        record.m_nType = View::kType;
        record.m_strTitle = View::kTitle;
        record.m_wp = CWindowPlacement::FromValues({ 44, 0, showCmd, -1, -1, -1, -1, 30, 40, 330, 300 });
        record.m_nParam[1] = on;
        record.m_nParam[Kind::kActiveParam] = active;
        CWsp wsp;
        wsp.AddWinSet(record);
        return wsp;
    }
    void Recall(int on)
    {
        CWsp wsp = Workspace(on, 0);
        view->OnUpdate(HINT_RESTORE, &wsp);
    }

    std::unique_ptr<View> view;
};

using Kinds = ::testing::Types<PpmKind, CorKind, FftKind, StereoKind>;
TYPED_TEST_SUITE(InstrumentViewTest, Kinds);

} // namespace

TYPED_TEST(InstrumentViewTest, MainMenuSwitchesThroughTheHubAndAMissingDeviceSaysWhy)
{
    this->Make();
    EXPECT_EQ(this->State(), std::tuple(0, false, 0, false, 0));
    this->ToggleFromTheMainMenu();
    EXPECT_EQ(this->State(), std::tuple(1, true, 1, true, 1)) << "the caption shows it";
    this->ToggleFromTheMainMenu();
    EXPECT_EQ(this->State(), std::tuple(0, false, 0, false, 0));
    EXPECT_FALSE(this->view->OnCommand(12345));

    this->driver.SetBusy(true);
    this->ToggleFromTheMainMenu();
    EXPECT_EQ(this->State(), std::tuple(0, false, 0, false, 0));
    EXPECT_EQ(this->notices.Notices().size(), 1u);
}

TYPED_TEST(InstrumentViewTest, StoredSettingsAreAppliedAndWrittenAtExit)
{
    // Stored on: counted, but the program opens capture later. Only a
    // placement of 44 bytes is applied.
    CSettingsStore::WriteInt(this->Section(), QStringLiteral("Status"), 1);
    CSettingsStore::WriteBinary(QStringLiteral("WinPos"), this->Placement(), QByteArray(40, '\1'));
    this->Make();
    EXPECT_EQ(this->State(), std::tuple(1, true, 1, false, 1));
    EXPECT_EQ(this->frame.m_nSetPlacementCalls, 0);

    this->frame.m_rect = QRect(31, 41, 333, 222);
    this->view->OnDestroy();
    EXPECT_EQ(CSettingsStore::GetInt(this->Section(), QStringLiteral("Status"), -1), 1);
    this->Release();
    this->frame = CFakeViewFrame();
    this->Make();
    EXPECT_EQ(std::pair(this->frame.m_nSetPlacementCalls, this->frame.m_rect), std::pair(1, QRect(31, 41, 333, 222)));
}

TYPED_TEST(InstrumentViewTest, MinimisingPausesOnceAndShowingAgainResumes)
{
    this->Make();
    this->ToggleFromTheMainMenu();
    this->view->OnSize(SIZE_MINIMIZED);
    this->view->OnSize(SIZE_MINIMIZED); // reported twice: still one pause
    EXPECT_EQ(this->State(), std::tuple(0, false, 1, true, 0)) << "a paused meter still holds the device";
    this->view->OnSize(SIZE_MAXIMIZED);
    EXPECT_EQ(this->State(), std::tuple(1, true, 1, true, 1));

    // Recalled or switched off while minimised: the count follows at once,
    // the recalled state shows after the restore.
    this->view->OnSize(SIZE_MINIMIZED);
    this->Recall(0);
    EXPECT_EQ(std::pair(this->doc.MeterCount(), this->driver.IsOpen()), std::pair(0, false));
    this->Recall(1);
    this->Recall(7); // any nonzero flag is on, counted once
    EXPECT_EQ(std::pair(this->doc.MeterCount(), this->OnForCapture()), std::pair(1, false)) << "still paused";
    this->doc.AllMetersOff();
    this->view->OnSize(SIZE_RESTORED);
    EXPECT_EQ(std::pair(this->IsOn(), this->OnForCapture()), std::pair(0, false)) << "switched off by the hub";
    this->ToggleFromTheMainMenu();
    this->view->OnSize(SIZE_MINIMIZED);
    this->view->OnDestroy();
    // Paused at exit: stored as off.
    EXPECT_EQ(CSettingsStore::GetInt(this->Section(), QStringLiteral("Status"), -1), 0);
    this->view->OnSize(SIZE_RESTORED); // the pause flag is shared by the views of one kind
}

// The control counts nested pauses (the colour dialog while minimised) and ignores a resume without one.
TYPED_TEST(InstrumentViewTest, ControlPausesNestAndAnUnmatchedResumeIsIgnored)
{
    this->Make();
    this->ToggleFromTheMainMenu();
    const std::pair<bool, int> steps[] = { { false, 1 }, { true, 0 }, { true, 0 }, { false, 0 }, { false, 1 } };
    for (const auto& [minimized, on] : steps) {
        this->view->Ctrl()->NotifyMinimized(minimized);
        EXPECT_EQ(std::pair(this->IsOn(), this->frame.m_meterOnCalls.back()), std::pair(on, on));
    }
}

TYPED_TEST(InstrumentViewTest, StoreWritesTypeTitlePlacementOnAndActive)
{
    this->Make();
    this->ToggleFromTheMainMenu();
    this->frame.m_title = QString::fromLatin1(TestFixture::View::kTitle);
    this->frame.m_rect = QRect(12, 34, 300, 200);
    this->host.m_pActiveView = this->view.get();
    CWsp wsp;
    this->view->OnUpdate(HINT_STORE, &wsp);
    this->host.m_pActiveView = nullptr;
    this->view->OnUpdate(HINT_STORE, &wsp);
    ASSERT_EQ(wsp.m_winSets.size(), 2u);
    const CWinSet& record = wsp.m_winSets[0];
    EXPECT_EQ(std::tuple(record.m_nType, record.m_strTitle, record.m_wp),
        std::tuple(TestFixture::View::kType, QByteArray(TestFixture::View::kTitle), this->frame.GetWindowPlacement()));
    const int active = TypeParam::kActiveParam;
    EXPECT_EQ(std::tuple(record.m_nParam[1], record.m_nParam[active], wsp.m_winSets[1].m_nParam[active]),
        std::tuple(1, 1, 0));
}

// Arranging restores the frame first, then maximises or minimises it as its
// placement says, and activates it when it was the active one.
TYPED_TEST(InstrumentViewTest, ArrangeShowsTheWindowAsItsPlacementSays)
{
    this->Make();
    CWsp normal = this->Workspace(0, 0);
    this->view->OnUpdate(HINT_RESTORE, &normal);
    EXPECT_EQ(this->frame.m_rect, QRect(30, 40, 300, 260));
    const struct { int showCmd, active; std::vector<QString> actions; } rows[] = {
        { SW_SHOWMAXIMIZED, 1, { "restore", "maximize", "activate" } }, { SW_SHOWNORMAL, 0, { "restore" } },
        { SW_SHOWMINIMIZED, 2, { "restore", "minimize" } } };
    for (const auto& row : rows) {
        this->frame.m_actions.clear();
        CWsp wsp = this->Workspace(0, row.active, row.showCmd);
        this->view->OnUpdate(HINT_ARRANGE, &wsp);
        EXPECT_EQ(this->frame.m_actions, row.actions) << row.showCmd << "/" << row.active;
    }
    this->frame.m_actions.clear();
    CWsp other = this->Workspace(1, 1, SW_SHOWMAXIMIZED);
    other.m_winSets[0].m_nType = 7;
    this->view->OnUpdate(HINT_ARRANGE, &other);
    EXPECT_TRUE(this->frame.m_actions.empty()) << "no record of this type";
}

TYPED_TEST(InstrumentViewTest, MenuSetUpOnTheFirstActivationAndTheControlFollowsTheSize)
{
    this->Make();
    this->view->OnActivateView(false);
    this->view->OnActivateView(true);
    this->view->OnActivateView(true);
    EXPECT_EQ(this->host.m_nFirstActivations, 1);
    this->view->show();
    this->view->resize(300, 200);
    this->view->OnSize(SIZE_RESTORED);
    // The stereo plot stays square, centred in the view.
    const bool square = std::is_same_v<TypeParam, StereoKind>;
    EXPECT_EQ(this->view->Ctrl()->geometry(), square ? QRect(50, 0, 200, 200) : QRect(0, 0, 300, 200));
}
