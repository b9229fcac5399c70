#include "meters/stereo/StereoCtrl.h"

#include "meters/common/MeterFonts.h"
#include "meters/common/MeterView.h"

#include <QAction>
#include <QColorDialog>
#include <QMenu>
#include <QResizeEvent>


namespace {
QAction* AddCommand(QMenu& menu, const QString& text, int id, bool checked)
{
    QAction* action = menu.addAction(text);
    action->setData(id);
    action->setCheckable(checked);
    action->setChecked(checked);
    return action;
}
}

CStereoCtrl::CStereoCtrl(QWidget* parent) : CMeterCtrl(parent), m_chooser(&CStereoCtrl::ChooseWithDialog)
{
    // The control's own device context keeps these for its whole life.
    Dc().SelectPen(kRasterColor, 1, PenStyle::Dot);
    Dc().SelectFont(CMeterFonts::Normal());
    Dc().SelectBrush(m_crPoint);
    Dc().SetBkColor(kGroundColor);
    Dc().SetTextColor(kLabelColor);
}

bool CStereoCtrl::Create(QWidget* parent, int x, int y, int size, int id)
{
    setParent(parent);
    m_nID = id;
    MoveWindow(CRect(x, y, x + size, y + size));
    CalcGeometry(ClientRect());
    show();
    return true;
}

// ---- on state ----------------------------------------------------------------

int CStereoCtrl::IsOn() const { return m_nOn; }

void CStereoCtrl::SetOn(int on) { ApplyOn(on); }

int CStereoCtrl::IsSwitchedOn() const { return m_nMinimized > 0 ? m_nSavedOn : m_nOn; }

void CStereoCtrl::SetSwitchedOn(int on)
{
    if (m_nMinimized > 0) {
        // Paused: the new state applies when the pause ends.
        m_nSavedOn = on;
        return;
    }
    ApplyOn(on);
}

void CStereoCtrl::ApplyOn(int on)
{
    m_nOn = on;
    m_nOnForCapture.store(on, std::memory_order_relaxed);
    if (IViewFrame* frame = Frame())
        frame->SetMeterOn(on);
}

void CStereoCtrl::NotifyMinimized(bool minimized)
{
    if (minimized) {
        if (++m_nMinimized == 1) {
            m_nSavedOn = m_nOn;
            ApplyOn(0);
        }
        return;
    }
    // A resume without a pause has nothing to restore.
    if (m_nMinimized == 0)
        return;
    if (--m_nMinimized == 0)
        ApplyOn(m_nSavedOn);
}

bool CStereoCtrl::IsOnForCapture() const { return m_nOnForCapture.load(std::memory_order_relaxed) != 0; }

int CStereoCtrl::DecimationForCapture() const { return m_nDecimationForCapture.load(std::memory_order_relaxed); }

// ---- points ------------------------------------------------------------------

void CStereoCtrl::InvertPoint(const StereoPoint& point)
{
    Dc().PatBlt(CRect(point.x, point.y, point.x + m_nPointSize, point.y + m_nPointSize), Rop::PatInvert);
}

void CStereoCtrl::PlotPoint(int left, int right)
{
    m_model.Input(left, right);
    const StereoPoint point = m_geometry.Map(left, right);
    InvertPoint(point);
    if (const StereoPoint* oldest = m_ring.Push(point))
        InvertPoint(*oldest);
}

void CStereoCtrl::EraseAllPoints()
{
    m_ring.ForEachLit([this](const StereoPoint& point) { InvertPoint(point); });
    m_ring.Reset();
    m_model.Clear();
}

void CStereoCtrl::ShowModelState(const CStereoModel& state)
{
    EraseAllPoints();
    SetCount(state.Count());
    state.ForEachOldestFirst([this](int left, int right) { PlotPoint(left, right); });
}

// ---- options -----------------------------------------------------------------

void CStereoCtrl::SetPointSize(int size)
{
    size = ValidPointSize(size);
    if (size == m_nPointSize)
        return;
    EraseAllPoints();
    m_nPointSize = size;
}

void CStereoCtrl::SetCount(int count)
{
    EraseAllPoints();
    m_ring.SetCount(count);
    m_model.SetCount(count);
}

void CStereoCtrl::SetDecimation(int mode)
{
    m_nDecimation = ValidStepMode(mode);
    m_nDecimationForCapture.store(m_nDecimation, std::memory_order_relaxed);
}

void CStereoCtrl::SetPointColor(COLORREF color)
{
    m_crPoint = color;
    Dc().SelectBrush(color);
}

// ---- drawing -----------------------------------------------------------------

void CStereoCtrl::DrawRaster()
{
    const CRect& rc = m_geometry.ClientRect();
    CDrawContext& dc = Dc();
    dc.MoveTo(rc.left + kRasterInset, rc.top + kRasterInset);
    dc.LineTo(rc.right - kRasterInset, rc.bottom - kRasterInset);
    dc.MoveTo(rc.right - kRasterInset, rc.top + kRasterInset);
    dc.LineTo(rc.left + kRasterInset, rc.bottom - kRasterInset);

    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const unsigned options = ETO_OPAQUE | ETO_CLIPPED;
    const CRect boxL(rc.left, rc.top, rc.left + kSideLabelWidth, rc.top + kLabelHeight);
    dc.ExtTextOut(rc.left + kSideLabelTextOffset, rc.top, options, &boxL, QStringLiteral("L"));
    const CRect boxR(rc.right - kSideLabelWidth, rc.top, rc.right, rc.top + kLabelHeight);
    dc.ExtTextOut(rc.right - kRightLabelTextOffset, rc.top, options, &boxR, QStringLiteral("R"));
    const int cx = m_geometry.Centre().x;
    const CRect boxM(cx - kMidLabelHalfWidth, rc.top, cx + kMidLabelHalfWidth, rc.top + kLabelHeight);
    dc.ExtTextOut(cx - kMidLabelTextOffset, rc.top, options, &boxM, QStringLiteral("M"));
}

void CStereoCtrl::OnPaint()
{
    // The erase clears every point, so the trace starts afresh.
    Dc().FillSolidRect(ClientRect(), kGroundColor);
    m_ring.Reset();
    CalcGeometry(ClientRect());
    DrawRaster();
}

void CStereoCtrl::resizeEvent(QResizeEvent* event)
{
    // The new back buffer is black; points that arrive before the repaint
    // already land on the new geometry.
    CMeterCtrl::resizeEvent(event);
    m_ring.Reset();
    CalcGeometry(ClientRect());
    DrawRaster();
}

void CStereoCtrl::RestartTrace()
{
    Invalidate();
    PaintNow();
}

void CStereoCtrl::OnLButtonDown(int, int) { RestartTrace(); }

// ---- menu and commands -------------------------------------------------------

std::unique_ptr<QMenu> CStereoCtrl::CreateContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    AddCommand(*menu, QStringLiteral("On"), ID_STM_ON, m_nOn != 0);
    menu->addSeparator();
    QMenu* points = menu->addMenu(QStringLiteral("Visible points"));
    AddCommand(*points, QStringLiteral("256"), ID_STM_COUNT_256, Count() == 256);
    AddCommand(*points, QStringLiteral("512"), ID_STM_COUNT_512, Count() == 512);
    AddCommand(*points, QStringLiteral("1024"), ID_STM_COUNT_1024, Count() == 1024);
    AddCommand(*menu, QStringLiteral("Thick points"), ID_STM_THICK, m_nPointSize == kThickPointSize);
    menu->addSeparator();
    QMenu* samples = menu->addMenu(QStringLiteral("Samples"));
    AddCommand(*samples, QStringLiteral("Every"), ID_STM_EVERY, m_nDecimation == kStepEvery);
    AddCommand(*samples, QStringLiteral("Every 2."), ID_STM_EVERY_2, m_nDecimation == kStepEvery2);
    AddCommand(*samples, QStringLiteral("Every 4."), ID_STM_EVERY_4, m_nDecimation == kStepEvery4);
    menu->addSeparator();
    AddCommand(*menu, QStringLiteral("Colors..."), ID_STM_COLORS, false);
    return menu;
}

void CStereoCtrl::OnContextMenu(const QPoint& globalPos)
{
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    // Right-aligned at the click, as the menu opens with TPM_RIGHTALIGN.
    const QPoint topLeft(globalPos.x() - menu->sizeHint().width(), globalPos.y());
    if (QAction* chosen = menu->exec(topLeft))
        OnCommand(chosen->data().toInt());
    RestartTrace();
}

void CStereoCtrl::OnCommand(int id)
{
    switch (id) {
    case ID_STM_COUNT_256: SetCount(256); break;
    case ID_STM_COUNT_512: SetCount(512); break;
    case ID_STM_COUNT_1024: SetCount(1024); break;
    case ID_STM_THICK: SetPointSize(m_nPointSize == kThickPointSize ? kThinPointSize : kThickPointSize); break;
    case ID_STM_ON: SendToView(ID_STEREO_ON_OFF); break;
    case ID_STM_EVERY: SetDecimation(kStepEvery); break;
    case ID_STM_EVERY_2: SetDecimation(kStepEvery2); break;
    case ID_STM_EVERY_4: SetDecimation(kStepEvery4); break;
    case ID_STM_COLORS: ChooseColor(); break;
    default: break;
    }
    RestartTrace();
}

void CStereoCtrl::ChooseColor()
{
    const std::optional<COLORREF> chosen = m_chooser ? m_chooser(m_crPoint, this) : std::nullopt;
    if (!chosen)
        return;
    NotifyMinimized(true);
    // The old brush is still selected, so the lit points vanish cleanly.
    EraseAllPoints();
    SetPointColor(*chosen);
    NotifyMinimized(false);
}

std::optional<COLORREF> CStereoCtrl::ChooseWithDialog(COLORREF current, QWidget* parent)
{
    const QColor color = QColorDialog::getColor(ToQColor(current), parent);
    if (!color.isValid())
        return std::nullopt;
    return FromQColor(color);
}

// ---- the hosting view and frame ----------------------------------------------

IViewFrame* CStereoCtrl::Frame() const
{
    const auto* view = qobject_cast<const CMeterView*>(parentWidget());
    return view ? view->Frame() : nullptr;
}

void CStereoCtrl::SendToView(int command)
{
    if (auto* view = qobject_cast<CMeterView*>(parentWidget()))
        view->OnCommand(command);
}
