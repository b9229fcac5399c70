#pragma once
// Stands between the hub and the correlation control and remembers what the
// control was shown: the last smoothed and raw value and how many windows
// reached it. Every call goes on to the control unchanged, so the meter
// behaves exactly as in the live program.
//
// Threads: IsOnForCapture() on the capture thread (it reads the control's
// atomic); everything else on the UI thread.
#include "audio/MeterSinks.h"

#include <cstdint>

class CCorCtrl;

class CCorReadingTap : public ICorSink {
public:
    explicit CCorReadingTap(CCorCtrl& ctrl) : m_ctrl(ctrl) {}

    int IsOn() const override;
    void SetOn(int on) override;
    bool IsOnForCapture() const override;
    void ShowCorrelation(double smoothed, double raw) override;

    // Windows whose values reached the control.
    std::uint64_t Readings() const { return m_nReadings; }
    double LastSmoothed() const { return m_dLastSmoothed; }
    double LastRaw() const { return m_dLastRaw; }

private:
    CCorCtrl& m_ctrl;
    std::uint64_t m_nReadings = 0;
    double m_dLastSmoothed = 0.0;
    double m_dLastRaw = 0.0;
};
