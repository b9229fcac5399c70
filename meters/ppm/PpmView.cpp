#include "meters/ppm/PpmView.h"

#include "audio/VelmoraDoc.h"
#include "meters/common/MeterSharedState.h"
#include "meters/ppm/PpmIds.h"
#include "platform/SettingsStore.h"
#include "workspace/Wsp.h"

#include <QResizeEvent>

bool CPpmView::s_bMinimized = false;
int CPpmView::s_bFirstActivation = 1;

namespace {
QString Section() { return QString::fromLatin1(ppm::kSection); }
int Read(const char* entry, int defaultValue)
{
    return CSettingsStore::GetInt(Section(), QString::fromLatin1(entry), defaultValue);
}
void Write(const char* entry, int value) { CSettingsStore::WriteInt(Section(), QString::fromLatin1(entry), value); }
}

CPpmView::CPpmView(IViewHost& host, QWidget* parent) : CMeterView(host, parent)
{
    const int status = Read(ppm::kEntryStatus, ppm::kDefaultStatus);
    const int peak = Read(ppm::kEntryPeak, ppm::kDefaultPeakMode);
    const int decay = Read(ppm::kEntryDecay, ppm::kDefaultDecayIndex);
    const int dir = Read(ppm::kEntryDir, ppm::kDefaultDir);
    const int ballistics = Read(ppm::kEntryBallistics, CPpmBallistics::SettingsValue(CPpmBallistics::kDefault));

    m_pCtrl = new CPpmCtrl(this);
    m_pCtrl->Create(ppm::kBarCount, ppm::kCreateX, ppm::kCreateY, ppm::kCreateWidth, ppm::kCreateHeight, ppm::kCtrlId, 0);
    ApplyPeakMode(peak);
    ApplyDecayIndex(decay);
    m_pCtrl->SetBallistics(CPpmBallistics::FromSettingsValue(ballistics));
    m_pCtrl->SetHorizontal(dir);
    m_pCtrl->SetOn(status != 0 ? 1 : 0);
    m_pCtrl->SetColors(static_cast<COLORREF>(Read(ppm::kEntryNormColor, static_cast<int>(ppm::kDefaultNormColor))),
        static_cast<COLORREF>(Read(ppm::kEntryTweenColor, static_cast<int>(ppm::kDefaultTweenColor))),
        static_cast<COLORREF>(Read(ppm::kEntryOverColor, static_cast<int>(ppm::kDefaultOverColor))));
    m_pCtrl->SetPoints(static_cast<unsigned>(Read(ppm::kEntryTweenPoint, ppm::kDefaultTweenPoint)),
        static_cast<unsigned>(Read(ppm::kEntryOverPoint, ppm::kDefaultOverPoint)));
}

CPpmView::~CPpmView() = default;

void CPpmView::ApplyPeakMode(int mode)
{
    // Values outside 0..2 keep what the control has.
    switch (mode) {
    case 0: m_pCtrl->SetPeakDecay(0); m_pCtrl->SetPeakHold(0); break;
    case 1: m_pCtrl->SetPeakDecay(0); m_pCtrl->SetPeakHold(1); break;
    case 2: m_pCtrl->SetPeakDecay(1); m_pCtrl->SetPeakHold(0); break;
    default: break;
    }
}

void CPpmView::ApplyDecayIndex(int index)
{
    switch (index) {
    case 0: m_pCtrl->SetDecayTime(ppm::kDecayFast); break;
    case 1: m_pCtrl->SetDecayTime(ppm::kDecayMedium); break;
    case 2: m_pCtrl->SetDecayTime(ppm::kDecaySlow); break;
    default: break;
    }
}

void CPpmView::OnInitialUpdate()
{
    // The frame exists now: show the recorded on state in its caption.
    m_pCtrl->SetOn(m_pCtrl->IsOn());
    // No stored placement: flipping the orientation just read gives the
    // frame the default size of the other one (vertical on a first run).
    if (!RestorePlacement(QString::fromLatin1(ppm::kPlacementEntry)))
        OnOrientation();
    CVelmoraDoc& doc = Host().Doc();
    doc.SetPpm(m_pCtrl);
    if (CMeterSharedState* shared = doc.SharedState())
        m_pCtrl->SetTickShare(&shared->ppmTick);
    if (m_pCtrl->IsOn())
        doc.CountRestoredMeter();
}

void CPpmView::OnActivateView(bool activate)
{
    if (activate && s_bFirstActivation) {
        Host().OnFirstActivation();
        s_bFirstActivation = 0;
    }
}

void CPpmView::FitControl()
{
    if (m_pCtrl)
        m_pCtrl->MoveWindow(CRect(0, 0, width(), height()));
}

void CPpmView::resizeEvent(QResizeEvent* event)
{
    CMeterView::resizeEvent(event);
    FitControl();
}

void CPpmView::OnSize(int type)
{
    FitControl();
    FollowMinimized(type, s_bMinimized, [this](bool minimized) { m_pCtrl->NotifyMinimized(minimized ? 1 : 0); });
}

QSize CPpmView::MinTrackSize() const
{
    if (m_pCtrl->IsHorizontal())
        return QSize(ppm::kHorizontalMinTrackWidth, ppm::kHorizontalMinTrackHeight);
    return QSize(ppm::kVerticalMinTrackWidth, ppm::kVerticalMinTrackHeight);
}

COLORREF CPpmView::EraseColor() const { return ppm::kViewEraseColor; }

void CPpmView::OnDestroy()
{
    SavePlacement(QString::fromLatin1(ppm::kPlacementEntry));
    // A meter suspended while minimised reports itself off and is stored so.
    Write(ppm::kEntryStatus, m_pCtrl->IsOn());
    Write(ppm::kEntryDecay, m_pCtrl->GetDecayIndex());
    Write(ppm::kEntryPeak, m_pCtrl->GetPeakMode());
    Write(ppm::kEntryDir, m_pCtrl->IsHorizontal());
    const BarParams& p = m_pCtrl->Params();
    Write(ppm::kEntryNormColor, static_cast<int>(p.m_crNorm));
    Write(ppm::kEntryTweenColor, static_cast<int>(p.m_crTween));
    Write(ppm::kEntryOverColor, static_cast<int>(p.m_crOver));
    Write(ppm::kEntryOverPoint, static_cast<int>(p.m_nOverPoint));
    Write(ppm::kEntryTweenPoint, static_cast<int>(p.m_nTweenPoint));
    Write(ppm::kEntryBallistics, CPpmBallistics::SettingsValue(m_pCtrl->Ballistics()));
    m_pCtrl->SetOn(0);
}

bool CPpmView::OnCommand(int id)
{
    switch (id) {
    case ppm::ID_VIEW_ON_OFF: ToggleMeter(); return true;
    case ppm::ID_VIEW_ORIENTATION: OnOrientation(); return true;
    default: return false;
    }
}

void CPpmView::OnOrientation()
{
    const int horizontal = m_pCtrl->IsHorizontal() ? 0 : 1;
    m_pCtrl->SetHorizontal(horizontal);
    if (horizontal)
        ResizeFrame(ppm::kHorizontalFrameWidth, ppm::kHorizontalFrameHeight);
    else
        ResizeFrame(ppm::kVerticalFrameWidth, ppm::kVerticalFrameHeight);
}

void CPpmView::StoreOptions(CWinSet& record)
{
    record.m_nParam[ppm::kParamHorizontal] = m_pCtrl->IsHorizontal();
    record.m_nParam[ppm::kParamOn] = m_pCtrl->IsOn();
    record.m_nParam[ppm::kParamPeakMode] = m_pCtrl->GetPeakMode();
    record.m_nParam[ppm::kParamDecayIndex] = m_pCtrl->GetDecayIndex();
}

int CPpmView::ActiveParam() const { return ppm::kParamActive; }

void CPpmView::RestoreOptions(const CWinSet& record)
{
    m_pCtrl->SetHorizontal(record.m_nParam[ppm::kParamHorizontal]);
    RecallOnState(record.m_nParam[ppm::kParamOn]);
    ApplyPeakMode(record.m_nParam[ppm::kParamPeakMode]);
    ApplyDecayIndex(record.m_nParam[ppm::kParamDecayIndex]);
}

