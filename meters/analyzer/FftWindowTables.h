#pragma once
// The seven analysis window functions, each a 2048-entry table with the
// transform's normalisation folded in (with the rectangular window a steady
// sine of peak A centred on a bin yields a band amplitude of about A).
// All seven are built once and never change afterwards, so the capture
// thread can switch between them by an atomic type number while the UI
// thread selects another one: no table is ever read while it is rebuilt.
//
// Threads: Instance() is first called on the UI thread (the analyzer's
// construction); the tables are immutable and readable from any thread.
#include "meters/analyzer/FftIds.h"

#include <array>

class CFftWindowTables {
public:
    using Table = std::array<double, fft::kFftSize>;

    static const CFftWindowTables& Instance();

    // The table of a window type 0..6; any other number selects the
    // default, "Blackman".
    const Table& Get(int type) const;

    // Fills `out` with the window of `type` (0..6) times its scale factor.
    static void Build(int type, Table& out);
    // The window's scale factor.
    static double Scale(int type);
    // A window type the analyzer knows, or the default.
    static int Valid(int type);

private:
    CFftWindowTables();
    std::array<Table, fft::kWindowTypeCount> m_tables {};
};
