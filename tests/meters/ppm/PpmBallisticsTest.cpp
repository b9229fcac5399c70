#include "tests/meters/ppm/PpmCtrlFixture.h"

#include <vector>

namespace {
class PpmBallistics : public PpmCtrlFixture {
protected:
    void SetUp() override { Make(150, 397); } // bars 361 pixels tall

    // Ticks with no new peaks; the tick numbers (1-based) at which bar 0's
    // level or marker row changed.
    std::vector<int> LevelFalls(int ticks)
    {
        std::vector<int> at;
        for (int t = 1; t <= ticks; ++t) {
            const unsigned before = Bar(0).m_nLevel;
            ctrl->OnTimer();
            if (Bar(0).m_nLevel != before)
                at.push_back(t);
        }
        return at;
    }
    std::vector<int> MarkerFalls(int ticks)
    {
        std::vector<int> at;
        for (int t = 1; t <= ticks; ++t) {
            const int before = Bar(0).m_nPeakY;
            ctrl->OnTimer();
            if (Bar(0).m_nPeakY != before)
                at.push_back(t);
        }
        return at;
    }
    static std::vector<int> Gaps(const std::vector<int>& at)
    {
        std::vector<int> gaps;
        for (size_t i = 1; i < at.size(); ++i)
            gaps.push_back(at[i] - at[i - 1]);
        return gaps;
    }
};
}

TEST_F(PpmBallistics, SteadyToneHoldsItsBar)
{
    ctrl->SetDecayTime(10);
    for (int block = 0; block < 50; ++block) {
        Feed(kMinus6Db);
        ctrl->OnTimer();
    }
    EXPECT_EQ(Bar(0).m_nLevel, 300u);
    EXPECT_EQ(Bar(1).m_nLevel, 300u);
    EXPECT_EQ(Bar(0).m_bRaised, 1);
}

TEST_F(PpmBallistics, FallIsTwoStepsAboveTenAndOneStepBelow)
{
    ctrl->SetDecayTime(10);
    Feed(11); // step 11
    ASSERT_EQ(Bar(0).m_nLevel, 11u);
    Feed(0);
    ctrl->OnTimer();
    EXPECT_EQ(Bar(0).m_nLevel, 9u);

    ctrl->ResetBars(-1, 1);
    Feed(10); // step 10
    Feed(0);
    ctrl->OnTimer();
    EXPECT_EQ(Bar(0).m_nLevel, 9u);

    ctrl->ResetBars(-1, 1);
    Ticks(3);
    EXPECT_EQ(Bar(0).m_nLevel, 0u);
}

TEST_F(PpmBallistics, ALowerPeakLetsTheBarFallAHigherOneRaisesIt)
{
    Feed(kMinus1Db);
    Feed(kMinus6Db);
    EXPECT_EQ(Bar(0).m_nLevel, 350u) << "no instant fall";
    EXPECT_EQ(Bar(0).m_bRaised, 0);
    Feed(kFullScale);
    EXPECT_EQ(Bar(0).m_nLevel, 360u);
    ctrl->SetValue(kMinus10Db, 1);
    EXPECT_EQ(Bar(1).m_nLevel, 360u);
    ctrl->SetValue(32768, 0); // beyond the table: ignored
    EXPECT_EQ(Bar(0).m_nLevel, 360u);
    EXPECT_EQ(Bar(0).m_bRaised, 1);
}

TEST_F(PpmBallistics, BarFallsEveryOneTwoThreeTicksByDecayTime)
{
    const struct {
        unsigned decay;
        int gap;
    } cases[] = { { 10, 1 }, { 20, 2 }, { 30, 3 } };
    for (const auto& c : cases) {
        ctrl->SetDecayTime(c.decay);
        Feed(kFullScale);
        Feed(0);
        const std::vector<int> gaps = Gaps(LevelFalls(12));
        ASSERT_GE(gaps.size(), 2u) << "decay " << c.decay;
        for (int g : gaps)
            EXPECT_EQ(g, c.gap) << "decay " << c.decay;
        ctrl->ResetBars(-1, 1);
    }
}

TEST_F(PpmBallistics, MarkerFallsEverySecondSecondThirdTickByDecayTime)
{
    ctrl->SetPeakDecay(1);
    const struct {
        unsigned decay;
        int gap;
    } cases[] = { { 10, 2 }, { 20, 2 }, { 30, 3 } };
    for (const auto& c : cases) {
        ctrl->SetDecayTime(c.decay);
        Feed(kFullScale);
        Feed(0);
        const std::vector<int> gaps = Gaps(MarkerFalls(18));
        ASSERT_GE(gaps.size(), 2u) << "decay " << c.decay;
        for (int g : gaps)
            EXPECT_EQ(g, c.gap) << "decay " << c.decay;
        ctrl->ResetBars(-1, 1);
    }
}

TEST_F(PpmBallistics, MarkerOfA361PixelBarFallsOnePixelAndStopsAtTheBarsEnd)
{
    ctrl->SetPeakDecay(1);
    ctrl->SetDecayTime(10);
    ASSERT_EQ(Bar(0).m_rcBar.Height(), 361);
    Feed(kFullScale);
    const int top = Bar(0).m_nPeakY;
    EXPECT_EQ(top, Bar(0).m_rcBar.bottom - 360) << "step 360 ends 360 pixels up";
    Feed(0);
    Ticks(2);
    EXPECT_EQ(Bar(0).m_nPeakY, top + 1);
    // Held at -6 dB the bar stops; the marker sinks onto its end and stays.
    for (int i = 0; i < 400; ++i) {
        Feed(kMinus6Db);
        ctrl->OnTimer();
    }
    EXPECT_EQ(Bar(0).m_nPeakY, Bar(0).EndOf(300));
}

TEST_F(PpmBallistics, MarkerOfA722PixelBarFallsTwoPixels)
{
    Make(150, 758);
    ctrl->SetPeakDecay(1);
    ctrl->SetDecayTime(10);
    ASSERT_EQ(Bar(0).m_rcBar.Height(), 722);
    Feed(kFullScale);
    const int top = Bar(0).m_nPeakY;
    Feed(0);
    Ticks(2);
    EXPECT_EQ(Bar(0).m_nPeakY, top + 2);
}

TEST_F(PpmBallistics, HoldAndDecayExcludeEachOther)
{
    ctrl->SetPeakDecay(1);
    ctrl->SetPeakHold(1);
    EXPECT_EQ(ctrl->GetPeakMode(), 1);
    EXPECT_EQ(ctrl->Params().m_bPeakDecay, 0);
    ctrl->SetPeakDecay(1);
    EXPECT_EQ(ctrl->GetPeakMode(), 2);
    EXPECT_EQ(ctrl->Params().m_bPeakHold, 0);
    ctrl->SetPeakDecay(0);
    EXPECT_EQ(ctrl->GetPeakMode(), 0);
    EXPECT_EQ(ctrl->Params().m_bPeakHold, 0) << "switching one off leaves the other off";
}

TEST_F(PpmBallistics, HeldMarkerStaysWhileTheBarFalls)
{
    ctrl->SetPeakHold(1);
    ctrl->SetDecayTime(10);
    Feed(kMinus1Db);
    const int marker = Bar(0).m_nPeakY;
    Feed(0);
    Ticks(30);
    EXPECT_EQ(Bar(0).m_nLevel, 350u - 60u);
    EXPECT_EQ(Bar(0).m_nPeakY, marker);
    const CRect& b = Bar(0).m_rcBar;
    EXPECT_TRUE(All(CRect(b.left, marker, b.right, marker + 1), kYellow)) << "the held marker line is drawn";
    EXPECT_TRUE(All(CRect(b.left, marker + 1, b.right, Bar(0).EndOf(Bar(0).m_nLevel)), kBlack));
}

TEST_F(PpmBallistics, ClickOnAReadoutClearsBothMaximaClickElsewhereKeepsThem)
{
    ctrl->SetDecayTime(10);
    Feed(kMinus6Db);
    ctrl->SetValue(kMinus1Db, 1);
    Feed(0);
    Ticks(20); // both bars have fallen 40 steps since their peaks
    ASSERT_EQ(Bar(0).m_nLevel, 260u);
    ASSERT_EQ(Bar(1).m_nLevel, 310u);

    const CRect& b = Bar(0).m_rcBar;
    ctrl->OnLButtonDown((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    EXPECT_EQ(Bar(0).m_nMaxLevel, 300);
    EXPECT_EQ(Bar(1).m_nMaxLevel, 350);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-6.0"));

    // The maximum starts again from what the bars show now.
    const CRect& r = Bar(1).m_rcReadout;
    ctrl->OnLButtonDown(r.left + 1, r.top + 1);
    EXPECT_EQ(Bar(0).m_nMaxLevel, 260);
    EXPECT_EQ(Bar(1).m_nMaxLevel, 310);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-10.0"));
    EXPECT_EQ(Bar(1).m_nLevel, 310u) << "the click keeps the level";

    ctrl->ResetBars(-1, 1);
    ctrl->OnLButtonDown(Bar(0).m_rcReadout.left + 1, Bar(0).m_rcReadout.top + 1);
    EXPECT_EQ(Bar(0).m_nMaxLevel, 0);
    EXPECT_EQ(Bar(1).ReadoutText(), QString());
}

TEST_F(PpmBallistics, ResetsKeepTheMaximum)
{
    Feed(kMinus1Db);
    ctrl->ResetBars(-1, 1);
    ctrl->SetDecayTime(30);
    ctrl->OnCommand(ppm::ID_PEAK_HOLD);
    ctrl->SetHorizontal(1);
    Settle();
    EXPECT_EQ(Bar(0).m_nLevel, 0u);
    EXPECT_EQ(Bar(0).m_nMaxLevel, 350);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-1.0"));
}

TEST_F(PpmBallistics, ReadoutPrintsTheMaximumInDb)
{
    EXPECT_EQ(Bar(0).ReadoutText(), QString());
    Feed(1);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-90.0"));
    Feed(kMinus6Db);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-6.0"));
    Feed(32766);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-0.1"));
    Feed(kFullScale);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("0"));
}

TEST_F(PpmBallistics, TickIsRelayedToTheAnalyzersDisplay)
{
    class Recorder : public QWidget {
    public:
        std::vector<int> ids;

    protected:
        void timerEvent(QTimerEvent* e) override { ids.push_back(e->timerId()); }
    };
    auto relay = std::make_unique<Recorder>();
    ctrl->SetRelay(relay.get());
    Ticks(3);
    QCoreApplication::sendPostedEvents(relay.get());
    EXPECT_EQ(relay->ids, (std::vector<int> { 1, 1, 1 }));
    relay.reset();
    Ticks(1); // the relay is gone: nothing is posted, nothing crashes
}
