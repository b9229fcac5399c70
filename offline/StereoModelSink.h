#pragma once
// The hub's view of the stereo meter in lumetra-analyze: every pair of every
// frame goes into the stereo model's ring. Always on.
//
// Threads: IsOnForCapture() and DecimationForCapture() on the capture side
// (constants); everything else on the thread that applies the hub's packets.
#include "audio/MeterSinks.h"
#include "meters/stereo/StereoIds.h"
#include "meters/stereo/StereoModel.h"

class CStereoModelSink : public IStereoSink {
public:
    explicit CStereoModelSink(CStereoModel& model) : m_model(model) {}

    int IsOn() const override { return 1; }
    void SetOn(int) override {}
    bool IsOnForCapture() const override { return true; }
    int DecimationForCapture() const override { return kStepEvery; }
    void PlotPoint(int left, int right) override { m_model.Input(left, right); }
    void EraseAllPoints() override { m_model.Clear(); }

private:
    CStereoModel& m_model;
};
