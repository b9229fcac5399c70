#pragma once
// A meter clock's counters that the whole running program shares: every
// control of one instrument kind adds its ticks to the same accumulator, and
// the busy flag keeps a tick from starting while another one runs. One
// object per running program (or per analysed file) holds them, never a
// class, so an analysis never inherits the counters of the file before.
//
// Plain C++. UI thread only (the hub applies ticks there).
struct CMeterTickShare {
    int accum = 0;
    int busy = 0;
};
