#include "offline/PpmModelSink.h"

#include "meters/analyzer/FftModel.h"
#include "meters/ppm/PpmModel.h"

void CPpmModelSink::SetValue(unsigned value, int channel)
{
    if (channel >= 0) {
        m_model.Input(value, static_cast<unsigned>(channel));
        return;
    }
    for (unsigned i = 0; i < m_model.ChannelCount(); ++i)
        m_model.Input(value, i);
}

bool CPpmModelSink::MeasureForCapture(const std::int16_t* block, int frames, int rate, float* levels, int& mode)
{
    if (m_capture.Mode() != m_model.Ballistics())
        m_capture.SetMode(m_model.Ballistics());
    return m_capture.Measure(block, frames, rate, levels, mode);
}

void CPpmModelSink::SetLevels(const float* levels, double seconds, int mode)
{
    if (mode >= 0 && mode != CPpmBallistics::SettingsValue(m_model.Ballistics()))
        return;
    for (unsigned i = 0; i < m_model.ChannelCount() && i < CPpmCaptureBallistics::kChannels; ++i)
        m_model.InputLevel(levels[i], i, seconds);
}

void CPpmModelSink::OnTimer()
{
    if (m_pRelay)
        m_pRelay->Tick();
    m_model.Tick();
}

void CPpmModelSink::ResetBars(int channel, int clearLevel)
{
    if (!clearLevel)
        return;
    if (channel < 0) {
        m_model.ClearLevels();
    } else if (static_cast<unsigned>(channel) < m_model.ChannelCount()) {
        m_model.Channel(static_cast<unsigned>(channel)).level = 0;
        m_model.ClearReading(static_cast<unsigned>(channel));
    }
}
