// A bar that rises paints only the strip it adds: what it shows after any
// history must still be what a bar drawn afresh at that level shows.
#include "meters/ppm/PpmCtrl.h"
#include "tests/common/FakeViewFrame.h"
#include "tests/meters/ppm/PpmLevels.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <functional>

namespace {
using namespace ppmlevel;
constexpr COLORREF kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255), kMagenta = RGB(255, 0, 255);

struct Meter {
    explicit Meter(int horizontal)
    {
        ctrl.SetFrame(&frame);
        ctrl.Create(2, 0, 0, 152, 399, 4711, horizontal);
        ctrl.PaintNow();
        QCoreApplication::sendPostedEvents(); // the click the paint posts
        ctrl.SetPeakHold(0);
        ctrl.SetPeakDecay(0);
    }
    QImage BarPixels() { return ctrl.BackBuffer().copy(ctrl.Bar(0).m_rcBar.ToQRect()); }

    CFakeViewFrame frame;
    CPpmCtrl ctrl;
};

struct History {
    const char* name;
    std::function<void(CPpmCtrl&)> before;
    COLORREF norm, tween, over; // the colours in force at the end
};

TEST(PpmBarRedraw, ARiseAfterAnyHistoryShowsWhatAFreshBarShows)
{
    const History histories[] = {
        { "rose, fell, rises again", [](CPpmCtrl& c) {
             c.SetValue(kFullScale, -1);
             for (int i = 0; i < 40; ++i)
                 c.OnTimer();
         }, ppm::kDefaultNormColor, ppm::kDefaultTweenColor, ppm::kDefaultOverColor },
        { "rose by steps", [](CPpmCtrl& c) {
             c.SetValue(kMinus6Db, -1);
             c.SetValue(kMinus1Db, -1);
         }, ppm::kDefaultNormColor, ppm::kDefaultTweenColor, ppm::kDefaultOverColor },
        { "new colours since the last rise", [](CPpmCtrl& c) {
             c.SetValue(kMinus6Db, -1);
             c.SetColors(kBlue, kWhite, kMagenta);
         }, kBlue, kWhite, kMagenta },
    };
    for (const int horizontal : { 0, 1 }) {
        for (const History& h : histories) {
            Meter lived(horizontal);
            h.before(lived.ctrl);
            lived.ctrl.SetValue(kFullScale, -1);
            Meter fresh(horizontal);
            fresh.ctrl.SetColors(h.norm, h.tween, h.over);
            fresh.ctrl.SetValue(kFullScale, -1);
            EXPECT_EQ(lived.BarPixels(), fresh.BarPixels()) << h.name << (horizontal ? ", horizontal" : ", vertical");
        }
    }
}

// The readout is drawn only when its text changes; a full repaint, which
// blackens it, must print it again.
TEST(PpmBarRedraw, AFullRepaintPrintsTheReadoutAgain)
{
    Meter meter(0);
    meter.ctrl.SetValue(kMinus6Db, -1);
    const CRect readout = meter.ctrl.Bar(0).m_rcReadout;
    const QImage before = meter.ctrl.BackBuffer().copy(readout.ToQRect());
    meter.ctrl.Invalidate();
    meter.ctrl.PaintNow();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(meter.ctrl.BackBuffer().copy(readout.ToQRect()), before);
    bool printed = false; // "-6.0" was there to compare
    for (int y = readout.top; y < readout.bottom; ++y)
        for (int x = readout.left; x < readout.right; ++x)
            printed = printed || meter.ctrl.Dc().GetPixel(x, y) != RGB(0, 0, 0);
    EXPECT_TRUE(printed);
}

} // namespace
