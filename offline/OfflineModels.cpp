#include "offline/OfflineModels.h"

#include "audio/VelmoraDoc.h"
#include "meters/analyzer/FftFeed.h"
#include "meters/analyzer/FftWindowTables.h"
#include "offline/AnalyzeOptions.h"
#include "offline/OfflineIds.h"

namespace {
int ValidInputMode(int mode) { return mode >= 0 && mode < fft::kInputModeCount ? mode : fft::kDefaultInputMode; }
}

COfflineModels::COfflineModels(const CAnalyzeOptions& options)
    : m_ppmSink(m_ppm, &m_fft), m_fftSink(m_fft), m_corSink(m_cor), m_stereoSink(m_stereo)
{
    m_ppm.SetTickShare(&m_shared.ppmTick);
    m_fft.SetTickShare(&m_shared.fftTick);
    m_estimator.SetSmoothingState(&m_shared.corState);

    offline::ApplyPeakMode(m_ppm, options.ppmPeakMode);
    m_ppm.SetDecayTime(options.ppmDecayTime);
    m_ppm.SetBallistics(CPpmBallistics::FromSettingsValue(options.ppmBallistics));
    // The analyzer starts with peak decay and the medium decay time.
    offline::ApplyPeakMode(m_fft, offline::kPeakDecay);
    m_fft.SetDecayTime(fft::kDecayMedium);
    m_stereo.SetCount(kDefaultPointCount);

    m_fftState.SetInputMode(ValidInputMode(options.fftInput));
    m_fftState.SetWindowType(CFftWindowTables::Valid(options.fftWindow));
    m_pFeed = std::make_unique<CFftFeed>(m_fftState);
    const int on = m_pFeed->HasPlan() ? 1 : 0;
    m_fftState.SetOn(on);
    m_fftSink.SetOn(on);
}

COfflineModels::~COfflineModels() = default;

bool COfflineModels::IsReady() const { return m_pFeed->HasPlan(); }

void COfflineModels::Attach(CVelmoraDoc& doc)
{
    doc.SetPpm(&m_ppmSink);
    doc.SetCor(&m_corSink);
    doc.SetCorrelationEstimator(&m_estimator);
    doc.SetFft(&m_fftSink);
    doc.SetAnalyzerFeed(m_pFeed.get());
    doc.SetStereo(&m_stereoSink);
    doc.SetSharedState(&m_shared);
}

void COfflineModels::Detach(CVelmoraDoc& doc)
{
    doc.DetachInstruments();
    doc.SetSharedState(nullptr);
}
