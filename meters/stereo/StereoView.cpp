#include "meters/stereo/StereoView.h"

#include "audio/VelmoraDoc.h"
#include "platform/SettingsStore.h"
#include "workspace/Wsp.h"

#include <QResizeEvent>
#include <QStyle>
#include <algorithm>

bool CStereoView::s_bMinimized = false;
bool CStereoView::s_bFirstActivation = true;

namespace {
QString Section() { return QString::fromLatin1(kStereoSection); }
int ReadInt(const char* entry, int defaultValue)
{
    return CSettingsStore::GetInt(Section(), QString::fromLatin1(entry), defaultValue);
}
void WriteInt(const char* entry, int value) { CSettingsStore::WriteInt(Section(), QString::fromLatin1(entry), value); }
}

CStereoView::CStereoView(IViewHost& host, QWidget* parent) : CMeterView(host, parent)
{
    m_wndStereo.SetPointColor(static_cast<COLORREF>(ReadInt(kEntryColor, static_cast<int>(kDefaultPointColor))));
    m_wndStereo.Create(this, kCreateOffset, kCreateOffset, kCreateSize, kStereoCtrlId);
    ReadSettings();
}

void CStereoView::ReadSettings()
{
    // A hand-edited or foreign value falls back to the default, so it can
    // never overrun the point ring or stop the hub's scan.
    m_wndStereo.SetPointSize(ValidPointSize(ReadInt(kEntryPtSize, kThickPointSize)));
    m_wndStereo.SetCount(ValidPointCount(ReadInt(kEntryPtCount, kDefaultPointCount)));
    m_wndStereo.SetOn(ReadInt(kEntryStatus, 0) != 0 ? 1 : 0);
    m_wndStereo.SetDecimation(ValidStepMode(ReadInt(kEntryRaster, kStepEvery)));
}

void CStereoView::OnInitialUpdate()
{
    RestorePlacement(QString::fromLatin1(kPlacementEntry));
    CVelmoraDoc& doc = Host().Doc();
    doc.SetStereo(&m_wndStereo);
    if (m_wndStereo.IsOn())
        doc.CountRestoredMeter();
    // The frame exists only now: show the restored state in its caption.
    m_wndStereo.SetOn(m_wndStereo.IsOn());
}

void CStereoView::OnActivateView(bool activate)
{
    if (activate && s_bFirstActivation) {
        Host().OnFirstActivation();
        s_bFirstActivation = false;
    }
}

// ---- size ------------------------------------------------------------------------

CRect CStereoView::CentredSquare(int width, int height)
{
    const int side = std::max(std::min(width, height), 0);
    const int left = (width - side) / 2;
    const int top = (height - side) / 2;
    return CRect(left, top, left + side, top + side);
}

void CStereoView::PlaceControl() { m_wndStereo.MoveWindow(CentredSquare(width(), height())); }

void CStereoView::resizeEvent(QResizeEvent* event)
{
    CMeterView::resizeEvent(event);
    PlaceControl();
}

void CStereoView::OnSize(int type)
{
    PlaceControl();
    FollowMinimized(type, s_bMinimized, [this](bool minimized) { m_wndStereo.NotifyMinimized(minimized); });
}

QSize CStereoView::MinTrackSize() const
{
    // Less the small caption's height, so the smallest client is square.
    const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return QSize(kMinTrackSide - caption, kMinTrackSide);
}

// ---- on/off ----------------------------------------------------------------------

bool CStereoView::OnCommand(int id)
{
    if (id != ID_STEREO_ON_OFF)
        return false;
    OnMeterOnOff();
    return true;
}

void CStereoView::OnMeterOnOff() { SwitchMeter(m_wndStereo.IsOn() == 0); }

void CStereoView::SwitchMeter(bool on)
{
    CVelmoraDoc& doc = Host().Doc();
    if (on) {
        m_wndStereo.SetOn(1);
        // The hub has shown why the device failed to open.
        if (!doc.MeterOn())
            m_wndStereo.SetOn(0);
    } else {
        m_wndStereo.SetOn(0);
        m_wndStereo.EraseAllPoints();
        doc.MeterOff(false);
    }
}

// ---- exit ------------------------------------------------------------------------

void CStereoView::OnDestroy()
{
    SavePlacement(QString::fromLatin1(kPlacementEntry));
    // A meter paused while minimised is stored as off.
    WriteInt(kEntryStatus, m_wndStereo.IsPlotting());
    WriteInt(kEntryPtSize, m_wndStereo.PointSize());
    WriteInt(kEntryPtCount, m_wndStereo.Count());
    WriteInt(kEntryRaster, m_wndStereo.Decimation());
    WriteInt(kEntryColor, static_cast<int>(m_wndStereo.PointColor()));
    m_wndStereo.SetOn(0);
}

// ---- workspaces ------------------------------------------------------------------

void CStereoView::OnUpdate(int hint, CWsp* workspace)
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

void CStereoView::StoreWorkspace(CWsp& workspace)
{
    CWinSet record;
    record.m_nType = kType;
    if (Frame()) {
        record.m_strTitle = Frame()->WindowText().toLatin1();
        record.m_wp = Frame()->GetWindowPlacement();
    }
    record.m_nParam[kParamOn] = m_wndStereo.IsPlotting();
    record.m_nParam[kParamPointSize] = m_wndStereo.PointSize();
    record.m_nParam[kParamPointCount] = m_wndStereo.Count();
    record.m_nParam[kParamWasActive] = IsActiveView() ? 1 : 0;
    record.m_nParam[kParamStep] = m_wndStereo.Decimation();
    workspace.AddWinSet(record);
}

void CStereoView::RestoreWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(kType);
    if (!record)
        return;
    // Any nonzero value means on, so a damaged record can never switch off
    // through the hub a meter that is already off.
    const bool on = record->m_nParam[kParamOn] != 0;
    if (on != (m_wndStereo.IsOn() != 0))
        SwitchMeter(on);
    m_wndStereo.SetPointSize(ValidPointSize(record->m_nParam[kParamPointSize]));
    const int count = ValidPointCount(record->m_nParam[kParamPointCount]);
    if (count != m_wndStereo.Count())
        m_wndStereo.SetCount(count);
    if (Frame())
        Frame()->SetWindowPlacement(record->m_wp);
    m_wndStereo.SetDecimation(ValidStepMode(record->m_nParam[kParamStep]));
}

void CStereoView::ArrangeWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(kType);
    if (!record || !Frame())
        return;
    Frame()->MdiRestore();
    if (record->m_wp.showCmd == SW_SHOWMAXIMIZED)
        Frame()->MdiMaximize();
    else if (record->m_wp.showCmd == SW_SHOWMINIMIZED)
        Frame()->ShowMinimized();
    if (record->m_nParam[kParamWasActive] == 1)
        Frame()->MdiActivate();
}
