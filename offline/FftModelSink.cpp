#include "offline/FftModelSink.h"

#include "meters/analyzer/FftModel.h"

void CFftModelSink::SetValue(unsigned amplitude, int bar)
{
    if (bar >= 0) {
        m_model.Input(amplitude, static_cast<unsigned>(bar));
        return;
    }
    for (unsigned i = 0; i < CFftModel::kBars; ++i)
        m_model.Input(amplitude, i);
}

void CFftModelSink::ResetBars(int bar, int clearLevel)
{
    if (!clearLevel)
        return;
    if (bar < 0) {
        for (unsigned i = 0; i < CFftModel::kBars; ++i)
            m_model.Bar(i).level = 0;
    } else if (static_cast<unsigned>(bar) < CFftModel::kBars) {
        m_model.Bar(static_cast<unsigned>(bar)).level = 0;
    }
}

void CFftModelSink::SetSampleRate(int rate)
{
    m_nSampleRate = rate;
    ResetBars(-1, 1);
}
