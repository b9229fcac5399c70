#include "meters/correlation/CorView.h"

#include "audio/VelmoraDoc.h"
#include "meters/common/MeterSharedState.h"
#include "meters/correlation/CorConstants.h"
#include "platform/SettingsStore.h"
#include "workspace/Wsp.h"

#include <QResizeEvent>

using namespace cor;

bool CCorView::s_bMinimized = false;
bool CCorView::s_bFirstActivation = true;

namespace {
QString Section() { return QString::fromLatin1(kSection); }
}

CCorView::CCorView(IViewHost& host, QWidget* parent) : CMeterView(host, parent)
{
    const int status = CSettingsStore::GetInt(Section(), QString::fromLatin1(kEntryStatus), kDefaultStatus);
    const int dir = CSettingsStore::GetInt(Section(), QString::fromLatin1(kEntryDir), kDefaultDir);
    m_pCor = new CCorCtrl(this, false);
    m_pCor->setObjectName(QStringLiteral("cor%1").arg(kCtrlId));
    m_pCor->MoveWindow(CRect(kCreateX, kCreateY, kCreateX + kCreateWidth, kCreateY + kCreateHeight));
    m_pCor->SetHorizontal(dir != 0);
    m_pCor->SetOn(status != 0 ? 1 : 0);
}

void CCorView::OnInitialUpdate()
{
    m_pCor->SetFrame(Frame());
    // No stored placement: flipping the orientation just read gives the
    // frame the default size of the other one (vertical on a first run).
    if (!RestorePlacement(QString::fromLatin1(kPlacementEntry)))
        OnOrientation();
    CVelmoraDoc& doc = Host().Doc();
    doc.SetCor(m_pCor);
    if (CMeterSharedState* shared = doc.SharedState())
        m_estimator.SetSmoothingState(&shared->corState);
    doc.SetCorrelationEstimator(&m_estimator);
    if (m_pCor->IsOn())
        doc.CountRestoredMeter();
}

void CCorView::OnActivateView(bool activate)
{
    if (activate && s_bFirstActivation) {
        Host().OnFirstActivation();
        s_bFirstActivation = false;
    }
}

void CCorView::FitControl()
{
    if (m_pCor)
        m_pCor->MoveWindow(CRect(0, 0, width(), height()));
}

void CCorView::resizeEvent(QResizeEvent* event)
{
    CMeterView::resizeEvent(event);
    FitControl();
}

void CCorView::OnSize(int type)
{
    FitControl();
    FollowMinimized(type, s_bMinimized, [this](bool minimized) { m_pCor->NotifyMinimized(minimized); });
}

QSize CCorView::MinTrackSize() const
{
    if (m_pCor->IsHorizontal())
        return QSize(kMinHorizontalWidth, kMinHorizontalHeight);
    return QSize(kMinVerticalWidth, kMinVerticalHeight);
}

void CCorView::OnDestroy()
{
    SavePlacement(QString::fromLatin1(kPlacementEntry));
    // A meter paused while minimised is stored as off.
    CSettingsStore::WriteInt(Section(), QString::fromLatin1(kEntryStatus), m_pCor->IsOn());
    CSettingsStore::WriteInt(Section(), QString::fromLatin1(kEntryDir), m_pCor->IsHorizontal() ? 1 : 0);
    m_pCor->SetOn(0);
}

bool CCorView::OnCommand(int id)
{
    switch (id) {
    case ID_METER_ONOFF: ToggleMeter(); return true;
    case ID_ORIENTATION: OnOrientation(); return true;
    default: return false;
    }
}

COLORREF CCorView::EraseColor() const { return kColorBackground; }

void CCorView::OnOrientation()
{
    const bool horizontal = !m_pCor->IsHorizontal();
    m_pCor->SetHorizontal(horizontal);
    if (horizontal)
        ResizeFrame(kHorizontalWidth, kHorizontalHeight);
    else
        ResizeFrame(kVerticalWidth, kVerticalHeight);
}

// ---- workspaces -------------------------------------------------------------

void CCorView::StoreOptions(CWinSet& record)
{
    record.m_nParam[kParamHorizontal] = m_pCor->IsHorizontal() ? 1 : 0;
    record.m_nParam[kParamOn] = m_pCor->IsOn();
}

int CCorView::ActiveParam() const { return kParamActive; }

void CCorView::RestoreOptions(const CWinSet& record)
{
    m_pCor->SetHorizontal(record.m_nParam[kParamHorizontal] != 0);
    RecallOnState(record.m_nParam[kParamOn]);
}

