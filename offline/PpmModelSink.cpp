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
    if (channel < 0)
        m_model.ClearLevels();
    else if (static_cast<unsigned>(channel) < m_model.ChannelCount())
        m_model.Channel(static_cast<unsigned>(channel)).level = 0;
}
