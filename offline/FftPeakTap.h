#pragma once
// Stands between the hub and the analyzer control and keeps, for every bar,
// the highest level it reached. Bars rise only when they are given a value,
// so the level right after each value is the one to watch; every call goes
// on to the control unchanged.
//
// UI thread only.
#include "audio/MeterSinks.h"

#include <array>

class CFftCtrl;

class CFftPeakTap : public IFftSink {
public:
    explicit CFftPeakTap(CFftCtrl& ctrl) : m_ctrl(ctrl) {}

    int IsOn() const override;
    void SetOn(int on) override;
    void SetValue(unsigned amplitude, int bar) override;
    void ResetBars(int bar, int clearLevel) override;
    void SetSampleRate(int rate) override;
    bool WindowExists() const override;

    // The highest level index bar `bar` has reached.
    unsigned PeakLevel(int bar) const { return m_peaks[static_cast<std::size_t>(bar)]; }

private:
    void NotePeak(int bar);

    CFftCtrl& m_ctrl;
    std::array<unsigned, kBandCount> m_peaks {};
};
