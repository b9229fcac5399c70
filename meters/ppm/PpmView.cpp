#include "meters/ppm/PpmView.h"

#include "audio/VelmoraDoc.h"
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

    m_pCtrl = new CPpmCtrl(this);
    m_pCtrl->Create(ppm::kBarCount, ppm::kCreateX, ppm::kCreateY, ppm::kCreateWidth, ppm::kCreateHeight, ppm::kCtrlId, 0);
    ApplyPeakMode(peak);
    ApplyDecayIndex(decay);
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
    m_pCtrl->SetOn(0);
}

bool CPpmView::OnCommand(int id)
{
    switch (id) {
    case ppm::ID_VIEW_ON_OFF: OnMeterOnOff(); return true;
    case ppm::ID_VIEW_ORIENTATION: OnOrientation(); return true;
    default: return false;
    }
}

void CPpmView::OnMeterOnOff()
{
    CVelmoraDoc& doc = Host().Doc();
    const int on = m_pCtrl->IsSwitchedOn() ? 0 : 1;
    m_pCtrl->SetSwitchedOn(on);
    if (!on) {
        doc.MeterOff(false);
        // The bars are no longer held up by new peaks and fall to zero.
        m_pCtrl->SetValue(0, -1);
    } else if (!doc.MeterOn()) {
        // The hub has shown why the device failed to open.
        m_pCtrl->SetSwitchedOn(0);
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

void CPpmView::OnUpdate(int hint, CWsp* workspace)
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

void CPpmView::StoreWorkspace(CWsp& workspace)
{
    CWinSet record;
    record.m_nType = kType;
    if (Frame()) {
        record.m_strTitle = Frame()->WindowText().toLatin1();
        record.m_wp = Frame()->GetWindowPlacement();
    }
    record.m_nParam[ppm::kParamHorizontal] = m_pCtrl->IsHorizontal();
    record.m_nParam[ppm::kParamOn] = m_pCtrl->IsOn();
    record.m_nParam[ppm::kParamPeakMode] = m_pCtrl->GetPeakMode();
    record.m_nParam[ppm::kParamDecayIndex] = m_pCtrl->GetDecayIndex();
    record.m_nParam[ppm::kParamActive] = IsActiveView() ? 1 : 0;
    workspace.AddWinSet(record);
}

void CPpmView::RestoreWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(kType);
    if (!record)
        return;
    m_pCtrl->SetHorizontal(record->m_nParam[ppm::kParamHorizontal]);
    // Compared as on/off, and against the state the hub counts (a suspended
    // meter is still counted as on), so a recall never switches through the
    // hub a meter that is already in that state.
    const int on = record->m_nParam[ppm::kParamOn] != 0 ? 1 : 0;
    if (on != (m_pCtrl->IsSwitchedOn() ? 1 : 0)) {
        CVelmoraDoc& doc = Host().Doc();
        if (on) {
            m_pCtrl->SetSwitchedOn(doc.MeterOn());
        } else {
            doc.MeterOff(false);
            m_pCtrl->SetSwitchedOn(0);
        }
    }
    ApplyPeakMode(record->m_nParam[ppm::kParamPeakMode]);
    ApplyDecayIndex(record->m_nParam[ppm::kParamDecayIndex]);
    if (Frame())
        Frame()->SetWindowPlacement(record->m_wp);
}

void CPpmView::ArrangeWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(kType);
    if (!record || !Frame())
        return;
    Frame()->MdiRestore();
    if (record->m_wp.showCmd == SW_SHOWMAXIMIZED)
        Frame()->MdiMaximize();
    else if (record->m_wp.showCmd == SW_SHOWMINIMIZED)
        Frame()->ShowMinimized();
    if (record->m_nParam[ppm::kParamActive] == 1)
        Frame()->MdiActivate();
}
