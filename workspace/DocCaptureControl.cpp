#include "workspace/DocCaptureControl.h"

#include "audio/AudioCapture.h"
#include "audio/MeterSinks.h"
#include "audio/VelmoraDoc.h"

bool CDocCaptureControl::IsCaptureOpened() const
{
    // A lost input still has instruments running on it: a new device or
    // rate choice switches them over at once, like an open one.
    return m_doc.Capture().m_bOpened.load(std::memory_order_acquire) != 0 || m_doc.IsInputLost();
}

void CDocCaptureControl::SetDeviceId(int id) { m_doc.Capture().Device().SetDeviceId(id); }

void CDocCaptureControl::SetSampleRate(int rate) { m_doc.Capture().Device().SetSampleRate(rate); }

void CDocCaptureControl::SetAnalyzerSampleRate(int rate)
{
    if (IFftSink* analyzer = m_doc.Fft())
        analyzer->SetSampleRate(rate);
}

void CDocCaptureControl::AllMetersOff() { m_doc.AllMetersOff(); }
