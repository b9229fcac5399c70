#include "meters/analyzer/FftView.h"

#include "audio/VelmoraDoc.h"
#include "meters/common/MeterSharedState.h"
#include "platform/Notices.h"
#include "platform/SettingsStore.h"
#include "workspace/WorkspaceView.h"
#include "workspace/Wsp.h"

#include <QResizeEvent>

bool CFftView::s_bMinimized = false;
bool CFftView::s_bFirstActivation = true;

namespace {
const QString kSection = QStringLiteral("FFT");
const QString kPlacementEntry = QStringLiteral("Analyzer");

// Stored option codes.
constexpr int kPeakNone = 0;
constexpr int kPeakHold = 1;
constexpr int kPeakDecay = 2;
constexpr int kDefaultPeakCode = kPeakDecay;
constexpr int kDefaultDecayCode = 1;

// Workspace record parameters.
constexpr int kParamOn = 1;
constexpr int kParamPeak = 2;
constexpr int kParamDecay = 3;
constexpr int kParamInput = 4;
constexpr int kParamWindow = 5;
constexpr int kParamActive = 6;

int Stored(const char* entry, int defaultValue)
{
    return CSettingsStore::GetInt(kSection, QString::fromLatin1(entry), defaultValue);
}

void Store(const char* entry, int value) { CSettingsStore::WriteInt(kSection, QString::fromLatin1(entry), value); }

void ShowNoPlanNotice()
{
    CNotices::MessageBox(QStringLiteral("The spectrum analyzer cannot run: its transform could not be prepared."),
        QString::fromLatin1(CFftView::kTitle), NoticeIcon::Error);
}
}

CFftView::CFftView(IViewHost& host, QWidget* parent) : CMeterView(host, parent)
{
    const int status = Stored("Status", 0);
    const int peak = Stored("Peak", kDefaultPeakCode);
    const int decay = Stored("Decay", kDefaultDecayCode);
    const int input = Stored("Input", fft::kDefaultInputMode);
    const int windowing = Stored("Windowing", fft::kDefaultWindowType);

    m_pCtrl = new CFftCtrl(this);
    m_pCtrl->Create(this, fft::kMaxBars, fft::kCreateX, fft::kCreateY, fft::kCreateWidth, fft::kCreateHeight,
        fft::IDC_FFT_CTRL);
    m_pFeed = std::make_unique<CFftFeed>(m_pCtrl->CaptureState());

    ApplyPeakCode(peak);
    ApplyDecayCode(decay);
    m_pCtrl->SetInputMode(input);
    m_pCtrl->SetWindowing(windowing);
    if (status && !m_pFeed->HasPlan()) {
        ShowNoPlanNotice();
        m_pCtrl->SetOn(0);
    } else {
        m_pCtrl->SetOn(status);
    }
    m_pCtrl->SetColors(static_cast<COLORREF>(Stored("NormColor", static_cast<int>(fft::kDefaultNormColor))),
        static_cast<COLORREF>(Stored("TweenColor", static_cast<int>(fft::kDefaultTweenColor))),
        static_cast<COLORREF>(Stored("OverColor", static_cast<int>(fft::kDefaultOverColor))));
    m_pCtrl->SetPoints(static_cast<unsigned>(Stored("TweenPoint", fft::kDefaultTweenPoint)),
        static_cast<unsigned>(Stored("OverPoint", fft::kDefaultOverPoint)));
}

CFftView::~CFftView() = default;

void CFftView::ResetClassState()
{
    s_bMinimized = false;
    s_bFirstActivation = true;
}

void CFftView::ApplyPeakCode(int code)
{
    switch (code) {
    case kPeakNone: m_pCtrl->SetPeakDecay(0); m_pCtrl->SetPeakHold(0); break;
    case kPeakHold: m_pCtrl->SetPeakDecay(0); m_pCtrl->SetPeakHold(1); break;
    case kPeakDecay: m_pCtrl->SetPeakDecay(1); m_pCtrl->SetPeakHold(0); break;
    default: break; // an unknown code keeps the control's defaults
    }
}

void CFftView::ApplyDecayCode(int code)
{
    if (code >= 0 && code < 3)
        m_pCtrl->SetDecayTime(fft::kDecayTimes[code]);
}

void CFftView::OnInitialUpdate()
{
    RestorePlacement(kPlacementEntry);
    CVelmoraDoc& doc = Host().Doc();
    doc.SetFft(m_pCtrl);
    if (CMeterSharedState* shared = doc.SharedState())
        m_pCtrl->SetTickShare(&shared->fftTick);
    doc.SetAnalyzerFeed(m_pFeed.get());
    if (IPpmSink* ppm = doc.Ppm())
        ppm->SetRelay(m_pCtrl);
    // The frame exists now: show the restored state in its caption.
    m_pCtrl->SetOn(m_pCtrl->IsOn());
    if (m_pCtrl->IsOn())
        doc.CountRestoredMeter();
}

void CFftView::OnActivateView(bool activate)
{
    if (activate && s_bFirstActivation) {
        Host().OnFirstActivation();
        s_bFirstActivation = false;
    }
}

void CFftView::FitControl() { m_pCtrl->MoveWindow(CRect(0, 0, width(), height())); }

void CFftView::resizeEvent(QResizeEvent* event)
{
    CMeterView::resizeEvent(event);
    FitControl();
}

void CFftView::OnSize(int type)
{
    FitControl();
    FollowMinimized(type, s_bMinimized, [this](bool minimized) { m_pCtrl->NotifyMinimized(minimized ? 1 : 0); });
}

QSize CFftView::MinTrackSize() const
{
    return QSize(fft::kMinTrackWidth, fft::kMinTrackHeightWithCaption - fft::kSmallCaptionHeight);
}

bool CFftView::OnCommand(int id)
{
    if (id != fft::ID_ANALYZER_ONOFF)
        return false;
    ToggleMeter();
    return true;
}

bool CFftView::MaySwitchOn()
{
    if (m_pFeed->HasPlan())
        return true;
    ShowNoPlanNotice();
    return false;
}

void CFftView::OnDestroy()
{
    SavePlacement(kPlacementEntry);
    Store("Status", m_pCtrl->IsOn());
    Store("Decay", m_pCtrl->GetDecayIndex());
    Store("Peak", m_pCtrl->GetPeakMode());
    Store("Input", m_pCtrl->InputMode());
    Store("Windowing", m_pCtrl->WindowType());
    const FftBarParams& p = m_pCtrl->Params();
    Store("NormColor", static_cast<int>(p.m_crNorm));
    Store("TweenColor", static_cast<int>(p.m_crTween));
    Store("OverColor", static_cast<int>(p.m_crOver));
    Store("OverPoint", static_cast<int>(p.m_nOverPoint));
    Store("TweenPoint", static_cast<int>(p.m_nTweenPoint));
    m_pCtrl->SetOn(0);
}

void CFftView::StoreOptions(CWinSet& record)
{
    record.m_nParam[kParamOn] = m_pCtrl->IsOn();
    record.m_nParam[kParamPeak] = m_pCtrl->GetPeakMode();
    record.m_nParam[kParamDecay] = m_pCtrl->GetDecayIndex();
    record.m_nParam[kParamInput] = m_pCtrl->InputMode();
    record.m_nParam[kParamWindow] = m_pCtrl->WindowType();
}

int CFftView::ActiveParam() const { return kParamActive; }

void CFftView::RestoreOptions(const CWinSet& record)
{
    RecallOnState(record.m_nParam[kParamOn]);
    ApplyPeakCode(record.m_nParam[kParamPeak]);
    ApplyDecayCode(record.m_nParam[kParamDecay]);
    m_pCtrl->SetInputMode(record.m_nParam[kParamInput]);
    m_pCtrl->SetWindowing(record.m_nParam[kParamWindow]);
}

