#include "meters/analyzer/FftView.h"

#include "audio/VelmoraDoc.h"
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
constexpr int kDecayTimes[3] = { fft::kDecayFast, fft::kDecayMedium, fft::kDecaySlow };

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
        m_pCtrl->SetDecayTime(kDecayTimes[code]);
}

void CFftView::OnInitialUpdate()
{
    RestorePlacement(kPlacementEntry);
    CVelmoraDoc& doc = Host().Doc();
    doc.SetFft(m_pCtrl);
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
    OnAnalyzerOnOff();
    return true;
}

int CFftView::SwitchOnThroughHub()
{
    if (!m_pFeed->HasPlan()) {
        ShowNoPlanNotice();
        return 0;
    }
    return Host().Doc().MeterOn();
}

void CFftView::OnAnalyzerOnOff()
{
    if (!m_pCtrl->IsSwitchedOn()) {
        if (!m_pFeed->HasPlan()) {
            ShowNoPlanNotice();
            return;
        }
        m_pCtrl->SetOn(1);
        if (!Host().Doc().MeterOn())
            m_pCtrl->SetOn(0);
        return;
    }
    m_pCtrl->SetOn(0);
    Host().Doc().MeterOff(false);
    // The bars are released and fall at the decay rate.
    m_pCtrl->SetValue(0, -1);
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

void CFftView::OnUpdate(int hint, CWsp* workspace)
{
    if (!workspace)
        return;
    switch (hint) {
    case HINT_STORE: StoreWorkspace(*workspace); break;
    case HINT_RESTORE: RestoreWorkspace(*workspace); break;
    case HINT_ARRANGE: ArrangeWorkspace(*workspace); break;
    default: break;
    }
}

void CFftView::StoreWorkspace(CWsp& workspace)
{
    CWinSet record;
    if (Frame()) {
        record.m_strTitle = CWinSet::TextToBytes(Frame()->WindowText());
        record.m_wp = Frame()->GetWindowPlacement();
    }
    record.m_nType = kType;
    record.m_nParam[0] = 0;
    record.m_nParam[kParamOn] = m_pCtrl->IsOn();
    record.m_nParam[kParamPeak] = m_pCtrl->GetPeakMode();
    record.m_nParam[kParamDecay] = m_pCtrl->GetDecayIndex();
    record.m_nParam[kParamInput] = m_pCtrl->InputMode();
    record.m_nParam[kParamWindow] = m_pCtrl->WindowType();
    record.m_nParam[kParamActive] = IsActiveView() ? 1 : 0;
    workspace.AddWinSet(record);
}

void CFftView::RestoreWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(kType);
    if (!record)
        return;
    // Only 1 means on. The hub is asked only when the state the hub counts
    // really changes (a minimised analyzer is still counted), so neither an
    // odd stored value nor a suspension can count it twice or take a second
    // count off the hub.
    const bool wantOn = record->m_nParam[kParamOn] == 1;
    if (wantOn != (m_pCtrl->IsSwitchedOn() != 0)) {
        if (wantOn) {
            m_pCtrl->SetOn(SwitchOnThroughHub());
        } else {
            Host().Doc().MeterOff(false);
            m_pCtrl->SetOn(0);
        }
    }
    ApplyPeakCode(record->m_nParam[kParamPeak]);
    ApplyDecayCode(record->m_nParam[kParamDecay]);
    m_pCtrl->SetInputMode(record->m_nParam[kParamInput]);
    m_pCtrl->SetWindowing(record->m_nParam[kParamWindow]);
    if (Frame())
        Frame()->SetWindowPlacement(record->m_wp);
}

void CFftView::ArrangeWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(kType);
    if (!record || !Frame())
        return;
    Frame()->MdiRestore();
    if (record->m_wp.showCmd == SW_SHOWMAXIMIZED)
        Frame()->MdiMaximize();
    else if (record->m_wp.showCmd == SW_SHOWMINIMIZED)
        Frame()->ShowMinimized();
    if (record->m_nParam[kParamActive] == 1)
        Frame()->MdiActivate();
}
