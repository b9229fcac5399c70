#pragma once
// What the meter measured on one channel: the level on the 361-step scale,
// whether the latest peak reached it (a raised bar does not fall on the next
// tick), and the highest step reached since the maximum was last cleared.
//
// Plain C++. UI thread only.
#include "meters/ppm/PpmIds.h"

#include <algorithm>

struct CPpmChannel {
    unsigned level = 0;
    bool raised = false;
    unsigned maxLevel = 0;

    // A block's peak step: a rise takes effect at once and may raise the
    // maximum; a lower peak only lets the bar fall on the next tick.
    // True when the level rose or stayed.
    bool Input(unsigned step)
    {
        if (step < level) {
            raised = false;
            return false;
        }
        level = step;
        raised = true;
        maxLevel = std::max(maxLevel, step);
        return true;
    }
    // The steps a tick lets the bar fall: none while raised, two above the
    // fast-fall point, one at or below it.
    unsigned FallStep() const
    {
        if (raised)
            return 0;
        return level > ppm::kFastFallAbove ? 2 : 1;
    }
    void Fall(unsigned step) { level = step >= level ? 0 : level - step; }
};
