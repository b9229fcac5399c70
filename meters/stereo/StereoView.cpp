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
    ToggleMeter();
    return true;
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

void CStereoView::StoreOptions(CWinSet& record)
{
    record.m_nParam[kParamOn] = m_wndStereo.IsPlotting();
    record.m_nParam[kParamPointSize] = m_wndStereo.PointSize();
    record.m_nParam[kParamPointCount] = m_wndStereo.Count();
    record.m_nParam[kParamStep] = m_wndStereo.Decimation();
}

int CStereoView::ActiveParam() const { return kParamWasActive; }

void CStereoView::RestoreOptions(const CWinSet& record)
{
    RecallOnState(record.m_nParam[kParamOn]);
    m_wndStereo.SetPointSize(ValidPointSize(record.m_nParam[kParamPointSize]));
    // A recalled other point count restarts the trace.
    const int count = ValidPointCount(record.m_nParam[kParamPointCount]);
    if (count != m_wndStereo.Count())
        m_wndStereo.SetCount(count);
    m_wndStereo.SetDecimation(ValidStepMode(record.m_nParam[kParamStep]));
}

