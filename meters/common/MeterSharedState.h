#pragma once
// The instruments' state that is one per running program rather than one
// per control: the PPM's and the analyzer's tick counters and the
// correlation meter's smoothing state. The program that owns the hub owns
// one of these (the live program one for its run, lumetra-analyze one per
// file) and hands its parts to the instruments when it wires them.
//
// Threads: the tick counters are touched on the UI thread only; the
// correlation state only by the estimator on the capture thread.
#include "meters/common/MeterTickShare.h"

struct CMeterSharedState {
    CMeterTickShare ppmTick;
    CMeterTickShare fftTick;
    float corState = 0.0f;
};
