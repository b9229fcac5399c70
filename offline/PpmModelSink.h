#pragma once
// The hub's view of the PPM in lumetra-analyze: block peaks and meter ticks
// go straight into the PPM model; each tick is relayed to the analyzer's
// model first, as the live control relays it to the analyzer's display.
// Always on.
//
// Threads: IsOnForCapture() on the capture side (a constant); everything
// else on the thread that applies the hub's packets.
#include "audio/MeterSinks.h"

class CFftModel;
class CPpmModel;

class CPpmModelSink : public IPpmSink {
public:
    CPpmModelSink(CPpmModel& model, CFftModel* relay) : m_model(model), m_pRelay(relay) {}

    int IsOn() const override { return 1; }
    void SetOn(int) override {}
    bool IsOnForCapture() const override { return true; }
    void SetValue(unsigned value, int channel) override;
    void OnTimer() override;
    void ResetBars(int channel, int clearLevel) override;
    bool WindowExists() const override { return true; }
    // There is no window to relay to: the analyzer's model is the relay.
    void SetRelay(QWidget*) override {}

private:
    CPpmModel& m_model;
    CFftModel* m_pRelay;
};
