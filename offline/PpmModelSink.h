#pragma once
// The hub's view of the PPM in lumetra-analyze: block peaks and meter ticks
// go straight into the PPM model; each tick is relayed to the analyzer's
// model first, as the live control relays it to the analyzer's display.
// Always on.
//
// Threads: IsOnForCapture() on the capture side (a constant); everything
// else on the thread that applies the hub's packets.
#include "audio/MeterSinks.h"
#include "meters/ppm/PpmCaptureBallistics.h"

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
    // The model's ballistics, run on the hub's side (one thread here, so
    // the capture half simply follows the model's mode).
    bool MeasureForCapture(const std::int16_t* block, int frames, int rate, float* levels, int& mode) override;
    void SetLevels(const float* levels, double seconds, int mode) override;

private:
    CPpmModel& m_model;
    CFftModel* m_pRelay;
    CPpmCaptureBallistics m_capture;
};
