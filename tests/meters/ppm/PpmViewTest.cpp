#include "meters/ppm/PpmView.h"
#include "platform/SettingsStore.h"
#include "tests/common/ViewTestBench.h"
#include "workspace/Wsp.h"

namespace {
class PpmViewTest : public CViewTestBench {
protected:
    ~PpmViewTest() override { doc.SetPpm(nullptr); }
    std::unique_ptr<CPpmView> MakeView(CFakeViewFrame& viewFrame) { return CreateView<CPpmView>(108, 300, viewFrame); }
    static void Store(const char* entry, int value) { CSettingsStore::WriteInt(QStringLiteral("PPM"), QString::fromLatin1(entry), value); }
    // Orientation, peak mode, decay time, ballistics, normal colour, tween and over points.
    static auto Options(CPpmCtrl& c)
    {
        return std::tuple(c.IsHorizontal(), c.GetPeakMode(), c.DecayTime(), c.Ballistics(), c.Params().m_crNorm, c.Params().m_nTweenPoint, c.Params().m_nOverPoint);
    }
};
} // namespace

TEST_F(PpmViewTest, OptionsSurviveARestartAndOutOfRangeOnesKeepTheDefaults)
{
    {
        auto view = MakeView(frame);
        CPpmCtrl* ctrl = view->Ctrl();
        for (int command : { 420, 440, 481 }) // Slow, Peak Decay, True Peak
            ctrl->OnCommand(command);
        view->OnCommand(201); // horizontal
        ctrl->SetColors(RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9));
        ctrl->SetPoints(280, 340);
        view->OnDestroy();
    }
    const std::pair<const char*, int> entries[] = { { "Decay", 2 }, { "Peak", 2 }, { "Dir", 1 }, { "NormColor", 0x030201 },
        { "TweenPoint", 280 }, { "OverPoint", 340 }, { "Ballistics", 1 } };
    for (const auto& [entry, value] : entries)
        EXPECT_EQ(CSettingsStore::GetInt(QStringLiteral("PPM"), QString::fromLatin1(entry), -999), value) << entry;
    CFakeViewFrame second;
    EXPECT_EQ(Options(*MakeView(second)->Ctrl()), std::tuple(1, 2, 30u, EPpmBallistics::TruePeak, RGB(1, 2, 3), 280u, 340u));

    Store("Peak", 7);
    Store("Decay", -1);
    Store("Ballistics", 6);
    Store("Dir", 0);
    CFakeViewFrame third;
    EXPECT_EQ(Options(*MakeView(third)->Ctrl()), std::tuple(0, 2, 20u, EPpmBallistics::DigitalPeak, RGB(1, 2, 3), 280u, 340u));
}

TEST_F(PpmViewTest, WorkspaceRecordCarriesTheOptionsButNoColours)
{
    auto view = MakeView(frame);
    host.m_pActiveView = view.get();
    view->OnCommand(201);
    view->Ctrl()->OnCommand(400); // Fast
    CWsp stored;
    view->OnUpdate(HINT_STORE, &stored);
    const CWinSet& r = stored.m_winSets.at(0);
    EXPECT_EQ(std::vector<int>(r.m_nParam.begin(), r.m_nParam.begin() + 5), (std::vector<int> { 1, 0, 1, 0, 1 }));

    view->OnCommand(201);
    view->Ctrl()->OnCommand(420);
    view->Ctrl()->OnCommand(440);
    view->Ctrl()->SetColors(RGB(9, 9, 9), RGB(8, 8, 8), RGB(7, 7, 7));
    view->OnUpdate(HINT_RESTORE, &stored);
    EXPECT_EQ(Options(*view->Ctrl()), std::tuple(1, 1, 10u, EPpmBallistics::DigitalPeak, RGB(9, 9, 9), 300u, 350u));
}
