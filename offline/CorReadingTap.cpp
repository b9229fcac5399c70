#include "offline/CorReadingTap.h"

#include "meters/correlation/CorCtrl.h"

int CCorReadingTap::IsOn() const { return m_ctrl.IsOn(); }
void CCorReadingTap::SetOn(int on) { m_ctrl.SetOn(on); }
bool CCorReadingTap::IsOnForCapture() const { return m_ctrl.IsOnForCapture(); }

void CCorReadingTap::ShowCorrelation(double smoothed, double raw)
{
    ++m_nReadings;
    m_dLastSmoothed = smoothed;
    m_dLastRaw = raw;
    m_ctrl.ShowCorrelation(smoothed, raw);
}
