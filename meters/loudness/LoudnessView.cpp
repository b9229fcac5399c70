#include "meters/loudness/LoudnessView.h"

#include "audio/VelmoraDoc.h"
#include "platform/SettingsStore.h"

#include <QResizeEvent>

namespace {
QString Section() { return QString::fromLatin1(lud::kSection); }
int Read(const char* entry, int defaultValue) { return CSettingsStore::GetInt(Section(), QString::fromLatin1(entry), defaultValue); }
void Write(const char* entry, int value) { CSettingsStore::WriteInt(Section(), QString::fromLatin1(entry), value); }
}

CLoudnessView::CLoudnessView(IViewHost& host, QWidget* parent) : CMeterView(host, parent)
{
    m_pCtrl = new CLoudnessCtrl(this);
    m_pCtrl->Create(0, 0, lud::kCreateWidth, lud::kCreateHeight, lud::kCtrlId);
    m_pCtrl->SetFeed(m_pFeed.get());
    m_pCtrl->SetPreset(Read(lud::kEntryPreset, lud::kDefaultPreset));
    m_pCtrl->SetScale(Read(lud::kEntryScale, lud::kDefaultScale));
    m_pCtrl->SetUnit(Read(lud::kEntryUnit, lud::kDefaultUnit));
    m_pCtrl->SetOn(Read(lud::kEntryStatus, lud::kDefaultStatus) != 0 ? 1 : 0);
}

CLoudnessView::~CLoudnessView()
{
    // The hub outlives its views: its loudness thread stops before the feed
    // goes with this view, and no packet is shown on a control that is gone.
    CVelmoraDoc& doc = Host().Doc();
    if (doc.LoudnessFeed() == m_pFeed.get())
        doc.SetLoudnessFeed(nullptr);
    if (doc.Loudness() == m_pCtrl)
        doc.SetLoudness(nullptr);
}

void CLoudnessView::OnInitialUpdate()
{
    CVelmoraDoc& doc = Host().Doc();
    doc.SetLoudness(m_pCtrl);
    doc.SetLoudnessFeed(m_pFeed.get());
    // The frame exists now: show the recorded on state in its caption.
    m_pCtrl->SetOn(m_pCtrl->IsOn());
    if (!RestorePlacement(QString::fromLatin1(lud::kPlacementEntry)))
        ResizeFrame(lud::kFrameWidth, lud::kFrameHeight);
    if (m_pCtrl->IsOn())
        doc.CountRestoredMeter();
}

void CLoudnessView::OnActivateView(bool activate)
{
    if (activate && m_bFirstActivation) {
        Host().OnFirstActivation();
        m_bFirstActivation = false;
    }
}

void CLoudnessView::FitControl()
{
    if (m_pCtrl)
        m_pCtrl->MoveWindow(CRect(0, 0, width(), height()));
}

void CLoudnessView::resizeEvent(QResizeEvent* event)
{
    CMeterView::resizeEvent(event);
    FitControl();
}

void CLoudnessView::OnSize(int type)
{
    FitControl();
    FollowMinimized(type, m_bMinimized, [this](bool minimized) { m_pCtrl->NotifyMinimized(minimized); });
}

QSize CLoudnessView::MinTrackSize() const { return QSize(lud::kMinTrackWidth, lud::kMinTrackHeight); }

void CLoudnessView::OnDestroy()
{
    SavePlacement(QString::fromLatin1(lud::kPlacementEntry));
    Write(lud::kEntryStatus, m_pCtrl->IsOn());
    Write(lud::kEntryPreset, m_pCtrl->Preset());
    Write(lud::kEntryScale, m_pCtrl->ScaleIndex());
    Write(lud::kEntryUnit, m_pCtrl->Unit());
    m_pCtrl->SetOn(0);
}

bool CLoudnessView::OnCommand(int id)
{
    if (id != lud::ID_VIEW_ON_OFF)
        return false;
    ToggleMeter();
    return true;
}

CLoudnessWspRecord CLoudnessView::WspRecord(std::uint32_t workspace) const
{
    CLoudnessWspRecord record;
    record.workspace = workspace;
    if (Frame())
        record.placement = Frame()->GetWindowPlacement();
    record.on = m_pCtrl->IsOn();
    record.targetPreset = m_pCtrl->Preset();
    record.scale = m_pCtrl->ScaleIndex();
    record.unit = m_pCtrl->Unit();
    record.active = IsActiveView() ? 1 : 0;
    return record;
}

void CLoudnessView::ApplyWspRecord(const CLoudnessWspRecord& record)
{
    m_pCtrl->SetPreset(record.targetPreset);
    m_pCtrl->SetScale(record.scale);
    m_pCtrl->SetUnit(record.unit);
    RecallOnState(record.on);
    if (Frame()) {
        Frame()->SetWindowPlacement(record.placement);
        if (record.active == 1)
            Frame()->MdiActivate();
    }
}
