#pragma once
// The hub's view of the correlation meter in lumetra-analyze: each window's
// values go straight into the correlation model. Always on.
//
// Threads: IsOnForCapture() on the capture side (a constant); everything
// else on the thread that applies the hub's packets.
#include "audio/MeterSinks.h"
#include "meters/correlation/CorModel.h"

class CCorModelSink : public ICorSink {
public:
    explicit CCorModelSink(CCorModel& model) : m_model(model) {}

    int IsOn() const override { return 1; }
    void SetOn(int) override {}
    bool IsOnForCapture() const override { return true; }
    void ShowCorrelation(double smoothed, double raw) override { m_model.Input(smoothed, raw); }

private:
    CCorModel& m_model;
};
