// The loudness control draws a bar or readout only when what it shows
// changes: the pixels must still be those of the reading shown.
#include "meters/loudness/LoudnessCtrl.h"

#include <gtest/gtest.h>

namespace {

CLoudnessSnapshot Reading(float momentary, float shortTerm)
{
    CLoudnessSnapshot r;
    r.valid = CLoudnessSnapshot::kMomentary | CLoudnessSnapshot::kShortTerm;
    r.momentary = momentary;
    r.shortTerm = shortTerm;
    return r;
}

TEST(LoudnessRedraw, AReadingShownAgainOrRepaintedLooksAsWhenFirstShown)
{
    CLoudnessCtrl ctrl;
    ctrl.Create(0, 0, 220, 360, lud::kCtrlId);
    ctrl.PaintNow();
    ctrl.ShowReading(Reading(-23.0f, -30.0f));
    const QImage first = ctrl.BackBuffer().copy();
    // Another reading, then the first again.
    ctrl.ShowReading(Reading(-10.0f, -18.5f));
    EXPECT_NE(ctrl.BackBuffer(), first);
    ctrl.ShowReading(Reading(-23.0f, -30.0f));
    EXPECT_EQ(ctrl.BackBuffer(), first);
    // A full repaint clears everything: the same reading is drawn again.
    ctrl.Invalidate();
    ctrl.PaintNow();
    EXPECT_EQ(ctrl.BackBuffer(), first);
    // No reading at all: the bars and readouts empty.
    ctrl.ShowReading(CLoudnessSnapshot {});
    ctrl.ShowReading(Reading(-23.0f, -30.0f));
    EXPECT_EQ(ctrl.BackBuffer(), first);
}

} // namespace
