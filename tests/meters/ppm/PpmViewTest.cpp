#include "meters/ppm/PpmView.h"
#include "platform/SettingsStore.h"
#include "tests/common/ViewTestBench.h"
#include "workspace/Wsp.h"

namespace {

class PpmViewTest : public CViewTestBench {
protected:
    ~PpmViewTest() override { doc.SetPpm(nullptr); }

    std::unique_ptr<CPpmView> MakeView(CFakeViewFrame& viewFrame) { return CreateView<CPpmView>(108, 300, viewFrame); }
    std::unique_ptr<CPpmView> MakeView() { return MakeView(frame); }

    static int Stored(const char* entry) { return CSettingsStore::GetInt(QStringLiteral("PPM"), QString::fromLatin1(entry), -999); }
    static void Store(const char* entry, int value) { CSettingsStore::WriteInt(QStringLiteral("PPM"), QString::fromLatin1(entry), value); }
};

} // namespace

TEST_F(PpmViewTest, FirstStartIsVerticalOffPeakHoldMediumAtTheDefaultSize)
{
    frame.m_rect = QRect(7, 9, 300, 300);
    auto view = MakeView();
    CPpmCtrl* ctrl = view->Ctrl();
    EXPECT_EQ(ctrl->IsHorizontal(), 0);
    EXPECT_EQ(ctrl->IsOn(), 0);
    EXPECT_EQ(ctrl->GetPeakMode(), 1);
    EXPECT_EQ(ctrl->DecayTime(), 20u);
    EXPECT_EQ(frame.m_rect, QRect(7, 9, 110, 320));
    EXPECT_EQ(view->MinTrackSize(), QSize(100, 300));
    EXPECT_EQ(ctrl->Ballistics(), EPpmBallistics::DigitalPeak);
    EXPECT_EQ(ctrl->Params().m_crNorm, COLORREF(49152));
    EXPECT_EQ(ctrl->Params().m_nTweenPoint, 300u);
    EXPECT_EQ(ctrl->Params().m_nOverPoint, 350u);
    EXPECT_EQ(doc.Ppm(), ctrl);
    EXPECT_EQ(doc.MeterCount(), 0);
    EXPECT_EQ(frame.m_meterOnCalls, std::vector<int> { 0 });
    EXPECT_EQ(view->InstrumentType(), 129);
}

TEST_F(PpmViewTest, OrientationTwiceReturnsToTheDefaultSize)
{
    auto view = MakeView();
    frame.m_rect = QRect(50, 60, 333, 222);
    view->OnCommand(201);
    EXPECT_EQ(view->Ctrl()->IsHorizontal(), 1);
    EXPECT_EQ(frame.m_rect, QRect(50, 60, 300, 124));
    EXPECT_EQ(view->MinTrackSize(), QSize(300, 110));
    frame.m_rect = QRect(50, 60, 500, 90);
    view->OnCommand(201);
    EXPECT_EQ(view->Ctrl()->IsHorizontal(), 0);
    EXPECT_EQ(frame.m_rect, QRect(50, 60, 110, 320)) << "the default size, not the user's";
}

TEST_F(PpmViewTest, SettingsSurviveARestart)
{
    {
        auto view = MakeView();
        CPpmCtrl* ctrl = view->Ctrl();
        ctrl->OnCommand(420);   // Slow
        ctrl->OnCommand(440);   // Peak Decay
        ctrl->OnCommand(481);   // True Peak
        view->OnCommand(201);   // horizontal
        ctrl->SetColors(RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9));
        ctrl->SetPoints(280, 340);
        frame.m_rect = QRect(11, 22, 333, 144);
        view->OnDestroy();
        EXPECT_EQ(ctrl->IsOn(), 0);
    }
    const std::pair<const char*, int> entries[] = { { "Status", 0 }, { "Decay", 2 }, { "Peak", 2 }, { "Dir", 1 },
        { "NormColor", 0x030201 }, { "TweenPoint", 280 }, { "OverPoint", 340 }, { "Ballistics", 1 } };
    for (const auto& [entry, value] : entries)
        EXPECT_EQ(Stored(entry), value) << entry;
    EXPECT_EQ(CSettingsStore::GetBinary(QStringLiteral("WinPos"), QStringLiteral("PPM")).size(), 44);

    CFakeViewFrame second;
    auto view = MakeView(second);
    CPpmCtrl* ctrl = view->Ctrl();
    EXPECT_EQ(second.m_nSetPlacementCalls, 1);
    EXPECT_EQ(second.m_rect, QRect(11, 22, 333, 144)) << "the stored placement, not a default size";
    EXPECT_EQ(ctrl->IsHorizontal(), 1);
    EXPECT_EQ(ctrl->DecayTime(), 30u);
    EXPECT_EQ(ctrl->GetPeakMode(), 2);
    EXPECT_EQ(ctrl->Params().m_crNorm, RGB(1, 2, 3));
    EXPECT_EQ(ctrl->Params().m_nTweenPoint, 280u);
    EXPECT_EQ(ctrl->Params().m_nOverPoint, 340u);
    EXPECT_EQ(ctrl->Ballistics(), EPpmBallistics::TruePeak);
}

TEST_F(PpmViewTest, StoredValuesOutOfRangeKeepTheControlsDefaults)
{
    Store("Peak", 7);
    Store("Decay", -1);
    Store("Ballistics", 6);
    CSettingsStore::WriteBinary(QStringLiteral("WinPos"), QStringLiteral("PPM"), QByteArray(40, '\0'));
    frame.m_rect = QRect(5, 5, 400, 400);
    auto view = MakeView();
    EXPECT_EQ(view->Ctrl()->GetPeakMode(), 2) << "peak decay, as constructed";
    EXPECT_EQ(view->Ctrl()->DecayTime(), 20u);
    EXPECT_EQ(view->Ctrl()->Ballistics(), EPpmBallistics::DigitalPeak);
    EXPECT_EQ(frame.m_nSetPlacementCalls, 0);
    EXPECT_EQ(frame.m_rect, QRect(5, 5, 110, 320));
}

TEST_F(PpmViewTest, StoreAndRecallRoundTrip)
{
    auto view = MakeView();
    host.m_pActiveView = view.get();
    frame.m_title = QStringLiteral("PPM-Meter");
    view->OnCommand(201);
    view->Ctrl()->OnCommand(400); // Fast
    CWsp stored;
    view->OnUpdate(HINT_STORE, &stored);
    ASSERT_EQ(stored.m_winSets.size(), 1u);
    const CWinSet& r = stored.m_winSets[0];
    EXPECT_EQ(r.m_nType, 129u);
    EXPECT_EQ(r.m_strTitle, QByteArray("PPM-Meter"));
    EXPECT_EQ(std::vector<int>(r.m_nParam.begin(), r.m_nParam.begin() + 5), (std::vector<int> { 1, 0, 1, 0, 1 }));
    EXPECT_EQ(r.m_wp, frame.GetWindowPlacement());

    view->OnCommand(201);
    view->Ctrl()->OnCommand(420);
    view->Ctrl()->OnCommand(440);
    view->Ctrl()->SetColors(RGB(9, 9, 9), RGB(8, 8, 8), RGB(7, 7, 7));
    frame.m_rect = QRect(0, 0, 10, 10);
    view->OnUpdate(HINT_RESTORE, &stored);
    EXPECT_EQ(view->Ctrl()->IsHorizontal(), 1);
    EXPECT_EQ(view->Ctrl()->GetPeakMode(), 1);
    EXPECT_EQ(view->Ctrl()->DecayTime(), 10u);
    EXPECT_EQ(frame.GetWindowPlacement(), r.m_wp);
    EXPECT_EQ(view->Ctrl()->Params().m_crNorm, RGB(9, 9, 9)) << "colours are no part of a workspace";
}
