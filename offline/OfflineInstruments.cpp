#include "offline/OfflineInstruments.h"

#include "meters/analyzer/FftCtrl.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/ppm/PpmCtrl.h"
#include "meters/stereo/StereoCtrl.h"
#include "offline/AnalyzeOptions.h"
#include "offline/OfflineIds.h"
#include "offline/FirstRunLayout.h"
#include "offline/OfflineModels.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
// The analyzer's first-run peak mode.
constexpr int kFftFirstRunPeak = offline::kPeakDecay;
constexpr int kOn = 1;
}

COfflineInstruments::COfflineInstruments(const CAnalyzeOptions& options)
{
    // The host is shown first, so every control gets its size at once.
    m_host.resize(fft::kCreateX + fft::kCreateWidth, fft::kCreateY + fft::kCreateHeight);
    m_host.show();
    CreatePpm(options);
    CreateCor();
    CreateFft(options);
    CreateStereo();
    Settle();
    // Nothing is ever put on a screen: the controls draw into their back
    // buffers only.
    m_host.setUpdatesEnabled(false);
}

COfflineInstruments::~COfflineInstruments() = default;

void COfflineInstruments::CreatePpm(const CAnalyzeOptions& options)
{
    m_pPpm = new CPpmCtrl(&m_host);
    m_pPpm->Create(ppm::kBarCount, ppm::kCreateX, ppm::kCreateY, ppm::kCreateWidth, ppm::kCreateHeight, ppm::kCtrlId,
        0);
    offline::ApplyPeakMode(*m_pPpm, options.ppmPeakMode);
    m_pPpm->SetDecayTime(options.ppmDecayTime);
    // A first run flips the stored horizontal default to vertical bars.
    m_pPpm->SetHorizontal(0);
    m_pPpm->SetColors(ppm::kDefaultNormColor, ppm::kDefaultTweenColor, ppm::kDefaultOverColor);
    m_pPpm->SetPoints(ppm::kDefaultTweenPoint, ppm::kDefaultOverPoint);
    m_pPpm->MoveWindow(CFirstRunLayout::PpmRect());
    m_pPpm->show();
    m_pPpm->SetOn(kOn);
}

void COfflineInstruments::CreateCor()
{
    m_pCor = new CCorCtrl(&m_host, false);
    m_pCor->setObjectName(QStringLiteral("cor%1").arg(cor::kCtrlId));
    m_pCor->SetHorizontal(false);
    m_pCor->MoveWindow(CFirstRunLayout::CorRect());
    m_pCor->show();
    m_pCor->SetOn(kOn);
}

void COfflineInstruments::CreateFft(const CAnalyzeOptions& options)
{
    m_pFft = new CFftCtrl(&m_host);
    const CRect rc = CFirstRunLayout::FftRect();
    m_pFft->Create(&m_host, fft::kMaxBars, rc.left, rc.top, rc.Width(), rc.Height(), fft::IDC_FFT_CTRL);
    offline::ApplyPeakMode(*m_pFft, kFftFirstRunPeak);
    m_pFft->SetDecayTime(fft::kDecayMedium);
    m_pFft->SetInputMode(options.fftInput);
    m_pFft->SetWindowing(options.fftWindow);
    m_pFft->SetColors(fft::kDefaultNormColor, fft::kDefaultTweenColor, fft::kDefaultOverColor);
    m_pFft->SetPoints(fft::kDefaultTweenPoint, fft::kDefaultOverPoint);
    m_pFft->show();
    m_pFft->SetOn(kOn);
}

void COfflineInstruments::CreateStereo()
{
    m_pStereo = new CStereoCtrl(&m_host);
    m_pStereo->SetPointColor(kDefaultPointColor);
    const CRect rc = CFirstRunLayout::StereoRect();
    m_pStereo->Create(&m_host, rc.left, rc.top, rc.Width(), kStereoCtrlId);
    m_pStereo->SetPointSize(kThickPointSize);
    m_pStereo->SetCount(kDefaultPointCount);
    m_pStereo->SetDecimation(kStepEvery);
    m_pStereo->show();
    m_pStereo->SetOn(kOn);
}

void COfflineInstruments::Show(const COfflineModels& models)
{
    if (models.SampleRate() > 0)
        m_pFft->SetSampleRate(models.SampleRate());
    Settle();
    m_pPpm->ShowModelState(models.Ppm());
    m_pFft->ShowModelState(models.Fft());
    m_pCor->ShowModelState(models.Cor());
    m_pStereo->ShowModelState(models.Stereo());
}

void COfflineInstruments::Settle()
{
    m_pPpm->PaintNow();
    m_pCor->PaintNow();
    m_pFft->PaintNow();
    m_pStereo->PaintNow();
    QCoreApplication::sendPostedEvents();
}
