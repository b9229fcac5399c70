#include "meters/common/MeterView.h"

#include "audio/VelmoraDoc.h"
#include "platform/SettingsStore.h"
#include "workspace/Wsp.h"

#include <QPainter>
#include <QPaintEvent>

CMeterView::CMeterView(IViewHost& host, QWidget* parent) : QWidget(parent), m_host(host)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CMeterView::IsActiveView() const { return m_host.ActiveView() == this; }

bool CMeterView::RestorePlacement(const QString& entry)
{
    CWindowPlacement placement;
    if (!m_pFrame || !CWindowPlacement::FromBytes(CSettingsStore::GetBinary(QStringLiteral("WinPos"), entry), placement))
        return false;
    m_pFrame->SetWindowPlacement(placement);
    return true;
}

void CMeterView::SavePlacement(const QString& entry)
{
    if (m_pFrame)
        CSettingsStore::WriteBinary(QStringLiteral("WinPos"), entry, m_pFrame->GetWindowPlacement().ToBytes());
}

void CMeterView::ResizeFrame(int width, int height)
{
    if (!m_pFrame)
        return;
    QRect rc = m_pFrame->FrameRect();
    rc.setSize(QSize(width, height));
    m_pFrame->MoveFrame(rc);
}

void CMeterView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), ToQColor(EraseColor()));
}

void CMeterView::SwitchMeter(bool on)
{
    IMeterSwitch& meter = Meter();
    CVelmoraDoc& doc = m_host.Doc();
    if (on) {
        if (!MaySwitchOn())
            return;
        meter.SetSwitchedOn(1);
        if (!doc.MeterOn())
            meter.SetSwitchedOn(0);
        return;
    }
    meter.SetSwitchedOn(0);
    doc.MeterOff(false);
    OnSwitchedOff();
}

void CMeterView::RecallOnState(std::int32_t recorded)
{
    const bool on = recorded != 0;
    if (on != (Meter().IsSwitchedOn() != 0))
        SwitchMeter(on);
}

void CMeterView::OnUpdate(int hint, CWsp* workspace)
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

void CMeterView::StoreWorkspace(CWsp& workspace)
{
    CWinSet record;
    record.m_nType = static_cast<std::uint32_t>(InstrumentType());
    if (m_pFrame) {
        record.m_strTitle = CWinSet::TextToBytes(m_pFrame->WindowText());
        record.m_wp = m_pFrame->GetWindowPlacement();
    }
    StoreOptions(record);
    record.m_nParam[ActiveParam()] = IsActiveView() ? 1 : 0;
    workspace.AddWinSet(record);
}

void CMeterView::RestoreWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(static_cast<std::uint32_t>(InstrumentType()));
    if (!record)
        return;
    RestoreOptions(*record);
    if (m_pFrame)
        m_pFrame->SetWindowPlacement(record->m_wp);
}

void CMeterView::ArrangeWorkspace(const CWsp& workspace)
{
    const CWinSet* record = workspace.FindWinSet(static_cast<std::uint32_t>(InstrumentType()));
    if (!record || !m_pFrame)
        return;
    m_pFrame->MdiRestore();
    if (record->m_wp.showCmd == SW_SHOWMAXIMIZED)
        m_pFrame->MdiMaximize();
    else if (record->m_wp.showCmd == SW_SHOWMINIMIZED)
        m_pFrame->ShowMinimized();
    if (record->m_nParam[ActiveParam()] == 1)
        m_pFrame->MdiActivate();
}
