#pragma once
// What the analyzer measured in one bar: its level index (0..360), whether
// the latest value reached it (a raised bar does not fall on the next tick)
// and the highest level it has reached.
//
// Plain C++. UI thread only.
#include <algorithm>

struct CFftBarState {
    // Below this level the floor's coarse entries fall one at a time.
    static constexpr unsigned kFastFallAbove = 10;

    unsigned level = 0;
    bool raised = false;
    unsigned highest = 0;

    // A value's level: a rise takes effect at once; a lower level only lets
    // the bar fall on the next tick. True when the level rose or stayed.
    bool Input(unsigned value)
    {
        if (value < level) {
            raised = false;
            return false;
        }
        level = value;
        raised = true;
        highest = std::max(highest, value);
        return true;
    }
    // The tick's fall: 0 while raised, else 2 above level 10 and 1 below.
    int FallStep() const
    {
        if (raised)
            return 0;
        return level > kFastFallAbove ? 2 : 1;
    }
    void Fall(int step) { level -= std::min(static_cast<unsigned>(step), level); }
};
