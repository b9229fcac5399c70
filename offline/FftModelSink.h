#pragma once
// The hub's view of the analyzer in lumetra-analyze: band amplitudes go
// straight into the analyzer's model. A new sample rate clears the bars, as
// it does on the live display. On unless the transform could not be made.
//
// The thread that applies the hub's packets only.
#include "audio/MeterSinks.h"

class CFftModel;

class CFftModelSink : public IFftSink {
public:
    explicit CFftModelSink(CFftModel& model) : m_model(model) {}

    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; }
    void SetValue(unsigned amplitude, int bar) override;
    void ResetBars(int bar, int clearLevel) override;
    void SetSampleRate(int rate) override;
    bool WindowExists() const override { return true; }

    int SampleRate() const { return m_nSampleRate; }

private:
    CFftModel& m_model;
    int m_nOn = 1;
    int m_nSampleRate = 0;
};
