#include "tests/meters/ppm/PpmCtrlFixture.h"

#include <vector>

namespace {
class PpmBallistics : public PpmCtrlFixture {
protected:
    void SetUp() override { Make(150, 397); } // bars 361 pixels tall

    // Ticks with no new peaks; the tick numbers (1-based) at which bar 0's
    // level or marker row changed.
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

TEST_F(PpmBallistics, HeldMarkerStaysWhileTheBarFalls)
{
    ctrl->SetPeakHold(1);
    ctrl->SetDecayTime(10);
    Feed(kMinus1Db);
    const int marker = Bar(0).m_nPeakY;
    Feed(0);
    Ticks(30);
    EXPECT_EQ(Bar(0).Level(), 350u - 60u);
    EXPECT_EQ(Bar(0).m_nPeakY, marker);
    const CRect& b = Bar(0).m_rcBar;
    EXPECT_TRUE(All(CRect(b.left, marker, b.right, marker + 1), kYellow)) << "the held marker line is drawn";
    EXPECT_TRUE(All(CRect(b.left, marker + 1, b.right, Bar(0).EndOf(Bar(0).Level())), kBlack));
}

TEST_F(PpmBallistics, ClickOnAReadoutClearsBothMaximaClickElsewhereKeepsThem)
{
    ctrl->SetDecayTime(10);
    Feed(kMinus6Db);
    ctrl->SetValue(kMinus1Db, 1);
    Feed(0);
    Ticks(20); // both bars have fallen 40 steps since their peaks
    ASSERT_EQ(Bar(0).Level(), 260u);
    ASSERT_EQ(Bar(1).Level(), 310u);

    const CRect& b = Bar(0).m_rcBar;
    ctrl->OnLButtonDown((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    EXPECT_EQ(Bar(0).MaxLevel(), 300u);
    EXPECT_EQ(Bar(1).MaxLevel(), 350u);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-6.0"));

    // The maximum starts again from what the bars show now.
    const CRect& r = Bar(1).m_rcReadout;
    ctrl->OnLButtonDown(r.left + 1, r.top + 1);
    EXPECT_EQ(Bar(0).MaxLevel(), 260u);
    EXPECT_EQ(Bar(1).MaxLevel(), 310u);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-10.0"));
    EXPECT_EQ(Bar(1).Level(), 310u) << "the click keeps the level";

    ctrl->ResetBars(-1, 1);
    ctrl->OnLButtonDown(Bar(0).m_rcReadout.left + 1, Bar(0).m_rcReadout.top + 1);
    EXPECT_EQ(Bar(0).MaxLevel(), 0u);
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
    EXPECT_EQ(Bar(0).Level(), 0u);
    EXPECT_EQ(Bar(0).MaxLevel(), 350u);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-1.0"));
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

TEST_F(PpmBallistics, ReadoutRisesByOneStepThatSharesAPixelWithTheLast)
{
    Make(98, 286); // the first-run client: bars about 250 pixels for 361 steps
    const unsigned minus03Db = 31656; // step 357
    const unsigned minus02Db = 32023; // step 358
    ASSERT_EQ(Bar(0).EndOf(357), Bar(0).EndOf(358)) << "the two steps share a pixel at this size";
    for (int block = 0; block < 200; ++block) {
        Feed(minus03Db);
        ctrl->OnTimer();
    }
    const CRect r = Bar(0).m_rcReadout;
    const QImage before = ctrl->BackBuffer().copy(r.ToQRect());
    ASSERT_EQ(Bar(0).ReadoutText(), QStringLiteral("-0.3"));
    Feed(minus02Db);
    EXPECT_EQ(Bar(0).MaxLevel(), 358u);
    EXPECT_EQ(Bar(0).ReadoutText(), QStringLiteral("-0.2"));
    EXPECT_NE(ctrl->BackBuffer().copy(r.ToQRect()), before) << "the readout is reprinted";
    EXPECT_TRUE(Any(r, kCyan));
}
