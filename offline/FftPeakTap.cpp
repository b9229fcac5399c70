#include "offline/FftPeakTap.h"

#include "meters/analyzer/FftCtrl.h"

#include <algorithm>

int CFftPeakTap::IsOn() const { return m_ctrl.IsOn(); }
void CFftPeakTap::SetOn(int on) { m_ctrl.SetOn(on); }
void CFftPeakTap::ResetBars(int bar, int clearLevel) { m_ctrl.ResetBars(bar, clearLevel); }
void CFftPeakTap::SetSampleRate(int rate) { m_ctrl.SetSampleRate(rate); }
bool CFftPeakTap::WindowExists() const { return m_ctrl.WindowExists(); }

void CFftPeakTap::SetValue(unsigned amplitude, int bar)
{
    m_ctrl.SetValue(amplitude, bar);
    if (bar >= 0) {
        NotePeak(bar);
        return;
    }
    for (int i = 0; i < kBandCount; ++i)
        NotePeak(i);
}

void CFftPeakTap::NotePeak(int bar)
{
    if (bar >= static_cast<int>(m_ctrl.BarCount()))
        return;
    unsigned& peak = m_peaks[static_cast<std::size_t>(bar)];
    peak = std::max(peak, m_ctrl.Bar(static_cast<unsigned>(bar)).Level());
}
