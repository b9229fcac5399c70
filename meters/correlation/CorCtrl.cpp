#include "meters/correlation/CorCtrl.h"

#include "meters/common/MeterFonts.h"
#include "meters/common/MeterView.h"
#include "meters/common/ViewFrame.h"

#include <QAction>
#include <QMenu>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>

using namespace cor;


namespace {
// The scale's labels, one per fifth tick in tick order. Horizontally tick 0
// is the right end (+1); vertically it is the bottom (-1). Only the vertical
// zeros carry a leading blank.
constexpr const char* kHorizontalValues[] = { "+1", "+.5", "0", "-.5", "-1" };
constexpr const char* kHorizontalAngles[] = { "0", "60", "90", "120", "180" };
constexpr const char* kVerticalValues[] = { "-1", "-.5", " 0", "+.5", "+1" };
constexpr const char* kVerticalAngles[] = { "180", "120", "90", "60", " 0" };

// Half the width of a horizontal label box, and the gaps that keep the labels
// off the ticks.
constexpr int kLabelHalfWidth = 10;
constexpr int kLabelGap = 7;
// Distance of the angle labels below (horizontal) or right of (vertical)
// the value labels, beyond the track's own width.
constexpr int kHorizontalAngleShift = 27;
constexpr int kVerticalAngleShift = 36;
// The vertical value label box reaches this far left of the track.
constexpr int kVerticalLabelReach = 30;
constexpr int kRightLabelInset = 2;
constexpr int kLeftLabelInset = 1;

// Readout boxes.
constexpr int kReadoutWidth = 20;
// Horizontally the readouts sit an eighth of the track in from each end.
constexpr int kReadoutEndDivisor = 8;
constexpr int kReadoutOffset = 5;
constexpr int kReadoutRowGap = 6;
constexpr int kReadoutSideReach = 2;
constexpr int kMinReadoutAbove = 15;
constexpr int kMaxReadoutBelow = 4;
constexpr int kMaxReadoutBottom = 14;
}

CCorCtrl::CCorCtrl(QWidget* parent, bool horizontal)
    : CMeterCtrl(parent)
    , m_fontSmall(CMeterFonts::Small())
    , m_fontNormal(CMeterFonts::Normal())
    , m_bHorizontal(horizontal)
{
    // The device context keeps these selected for the life of the control.
    Dc().SelectPen(kColorTick);
    Dc().SelectFont(m_fontNormal);
    Dc().SetBkColor(kColorBackground);
    Dc().SetTextColor(kColorScaleText);
    CalcLayout(ClientRect());
}

CCorCtrl::~CCorCtrl() { m_watchdog.stop(); }

void CCorCtrl::SetFrame(IViewFrame* frame)
{
    m_pFrame = frame;
    ShowOnInCaption(m_nOn);
}

void CCorCtrl::StoreOn(int on)
{
    m_nOn = on;
    // Relaxed is enough: the capture thread only needs to see the switch
    // eventually, and a packet made just before it is dropped on the UI side.
    m_nOnForCapture.store(on, std::memory_order_relaxed);
}

void CCorCtrl::ShowOnInCaption(int on)
{
    if (m_pFrame)
        m_pFrame->SetMeterOn(on);
}

void CCorCtrl::SetOn(int on)
{
    if (IsPaused()) {
        m_nSavedOn = on;
        return;
    }
    StoreOn(on);
    ShowOnInCaption(on);
}

void CCorCtrl::SetHorizontal(bool horizontal)
{
    m_bHorizontal = horizontal;
    CalcLayout(ClientRect());
    Invalidate();
}

void CCorCtrl::NotifyMinimized(bool minimized)
{
    // Only the first pause saves the on state and only the last resume
    // brings it back; an unbalanced resume is ignored, so the saved state
    // can never be overwritten by the paused one.
    if (minimized) {
        if (++m_nMinimized == 1) {
            m_nSavedOn = m_nOn;
            StoreOn(0);
            ShowOnInCaption(0);
        }
        return;
    }
    if (m_nMinimized == 0)
        return;
    if (--m_nMinimized == 0) {
        StoreOn(m_nSavedOn);
        ShowOnInCaption(m_nSavedOn);
    }
}

// ---- values -----------------------------------------------------------------

void CCorCtrl::ShowCorrelation(double smoothed, double raw)
{
    // Off the scale (or not a number): nothing is drawn at all.
    if (!m_model.Input(smoothed, raw))
        return;
    m_nPos = static_cast<int>(smoothed * m_nRange * 0.5);
    DrawPointer();
    // The angles change far less often than readings come, and text is
    // costly to draw.
    if (m_model.MinAngle() != m_nMinAngleShown || m_model.MaxAngle() != m_nMaxAngleShown)
        DrawAngles();
}

void CCorCtrl::ShowModelState(const CCorModel& state)
{
    m_model = state;
    if (m_model.Readings() > 0 && m_model.LastSmoothed() >= -1.0 && m_model.LastSmoothed() <= 1.0)
        m_nPos = static_cast<int>(m_model.LastSmoothed() * m_nRange * 0.5);
    DrawPointer();
    DrawAngles();
}

// ---- layout -----------------------------------------------------------------

void CCorCtrl::CalcLayout(const CRect& rc)
{
    if (m_bHorizontal)
        m_rcBar = CRect(rc.left + kEndMargin, rc.top + kSideMargin + kTickOverhang, rc.right - kEndMargin, rc.bottom - kSideMargin);
    else
        m_rcBar = CRect(rc.left + kSideMargin, rc.top + kEndMargin, rc.right - kSideMargin, rc.bottom - kEndMargin);
    m_bSmallScale = TrackLength() < kSmallFontBelow;
    Dc().SelectFont(ScaleFont());
    m_nTextHeight = Dc().TextHeight();
}

int CCorCtrl::TrackLength() const { return m_bHorizontal ? m_rcBar.Width() : m_rcBar.Height(); }

int CCorCtrl::TrackCentre() const
{
    return m_bHorizontal ? (m_rcBar.left + m_rcBar.right) / 2 : (m_rcBar.top + m_rcBar.bottom) / 2;
}

CRect CCorCtrl::MinAngleRect() const
{
    if (m_bHorizontal) {
        const int top = m_rcBar.top - (2 * m_nTextHeight + kReadoutRowGap);
        const int left = m_rcBar.right - TrackLength() / kReadoutEndDivisor - kReadoutOffset;
        return CRect(left, top, left + kReadoutWidth, top + m_nTextHeight);
    }
    const int top = m_rcBar.top - kMinReadoutAbove;
    return CRect(m_rcBar.left - kReadoutSideReach, top, m_rcBar.right + kReadoutSideReach, top + m_nTextHeight);
}

CRect CCorCtrl::MaxAngleRect() const
{
    if (m_bHorizontal) {
        const int top = m_rcBar.top - (2 * m_nTextHeight + kReadoutRowGap);
        const int left = m_rcBar.left + TrackLength() / kReadoutEndDivisor - kReadoutOffset;
        return CRect(left, top, left + kReadoutWidth, top + m_nTextHeight);
    }
    return CRect(m_rcBar.left - kReadoutSideReach, m_rcBar.bottom + kMaxReadoutBelow, m_rcBar.right + kReadoutSideReach,
        m_rcBar.bottom + kMaxReadoutBottom);
}

// ---- drawing ----------------------------------------------------------------

void CCorCtrl::DrawScale()
{
    CDrawContext& dc = Dc();
    dc.SetTextColor(kColorScaleText);
    dc.SetBkColor(kColorBackground);
    if (m_bHorizontal)
        dc.SetTextAlign(TA_CENTER);
    const float factor = static_cast<float>(TrackLength()) / static_cast<float>(m_nRange);
    const int centre = TrackCentre();
    for (int i = 0; i < kTickCount; ++i) {
        const int value = -kMaxPos + kTickStep * i;
        const int at = centre - static_cast<int>(static_cast<float>(value) * factor);
        if (m_bHorizontal)
            DrawHorizontalTick(i, at);
        else
            DrawVerticalTick(i, at);
    }
    // The track itself stays black: the ticks show only beside it.
    dc.PatBlt(m_rcBar, Rop::Blackness);
}

void CCorCtrl::DrawHorizontalTick(int i, int x)
{
    CDrawContext& dc = Dc();
    dc.MoveTo(x, m_rcBar.top - kTickOverhang);
    dc.LineTo(x, m_rcBar.bottom + kTickOverhang);
    if (i % kLabelEvery != 0)
        return;
    const int label = i / kLabelEvery;
    CRect box(x - kLabelHalfWidth, m_rcBar.top - m_nTextHeight - kLabelGap, x + kLabelHalfWidth, m_rcBar.top - kLabelGap);
    dc.ExtTextOut(x, box.top, ETO_OPAQUE | ETO_CLIPPED, &box, QString::fromLatin1(kHorizontalValues[label]));
    box.OffsetRect(0, m_rcBar.Height() + kHorizontalAngleShift);
    dc.ExtTextOut(x, box.top, ETO_OPAQUE | ETO_CLIPPED, &box, QString::fromLatin1(kHorizontalAngles[label]));
}

void CCorCtrl::DrawVerticalTick(int i, int y)
{
    CDrawContext& dc = Dc();
    dc.MoveTo(m_rcBar.left - kTickOverhang, y);
    dc.LineTo(m_rcBar.right + kTickOverhang, y);
    if (i % kLabelEvery != 0)
        return;
    const int label = i / kLabelEvery;
    const int top = y - m_nTextHeight / 2;
    CRect box(m_rcBar.left - kVerticalLabelReach, top, m_rcBar.left - kTickOverhang, top + m_nTextHeight);
    dc.SetTextAlign(TA_RIGHT);
    dc.ExtTextOut(box.right - kRightLabelInset, box.top, ETO_OPAQUE | ETO_CLIPPED, &box, QString::fromLatin1(kVerticalValues[label]));
    box.OffsetRect(m_rcBar.Width() + kVerticalAngleShift, 0);
    dc.SetTextAlign(TA_LEFT);
    dc.ExtTextOut(box.left + kLeftLabelInset, box.top, ETO_OPAQUE | ETO_CLIPPED, &box, QString::fromLatin1(kVerticalAngles[label]));
}

COLORREF CCorCtrl::PointerColor() const
{
    if (m_nPos > 0)
        return kColorPositive;
    if (m_nPos < 0)
        return kColorNegative;
    return kColorZero;
}

void CCorCtrl::DrawPointer()
{
    m_watchdog.stop();
    // An unmoved pointer away from the centre needs no drawing, only the
    // watchdog re-armed.
    if (m_nPos == m_nLastPos && m_nPos != 0) {
        m_watchdog.start(kWatchdogMs, this);
        return;
    }
    const double factor = static_cast<double>(TrackLength()) / m_nRange;
    const int centre = TrackCentre();
    const int oldOffset = static_cast<int>(m_nLastPos * factor);
    const int newOffset = static_cast<int>(m_nPos * factor);
    // Positive values lie right of the centre, or above it.
    if (m_bHorizontal) {
        const int oldX = centre + oldOffset - kPointerHalf;
        const int newX = centre + newOffset - kPointerHalf;
        Dc().PatBlt(CRect(oldX, m_rcBar.top, oldX + kPointerWidth, m_rcBar.bottom), Rop::Blackness);
        Dc().FillSolidRect(CRect(newX, m_rcBar.top, newX + kPointerWidth, m_rcBar.bottom), PointerColor());
    } else {
        const int oldY = centre - oldOffset - kPointerHalf;
        const int newY = centre - newOffset - kPointerHalf;
        Dc().PatBlt(CRect(m_rcBar.left, oldY, m_rcBar.right, oldY + kPointerWidth), Rop::Blackness);
        Dc().FillSolidRect(CRect(m_rcBar.left, newY, m_rcBar.right, newY + kPointerWidth), PointerColor());
    }
    m_nLastPos = m_nPos;
    m_watchdog.start(kWatchdogMs, this);
}

void CCorCtrl::DrawAngles()
{
    CDrawContext& dc = Dc();
    dc.SetTextColor(kColorReadout);
    dc.SetBkColor(kColorBackground);
    dc.SelectFont(m_fontNormal);
    dc.SetTextAlign(TA_CENTER);
    DrawReadout(MinAngleRect(), m_model.MinAngle(), kNoMinAngle);
    DrawReadout(MaxAngleRect(), m_model.MaxAngle(), kNoMaxAngle);
    m_nMinAngleShown = m_model.MinAngle();
    m_nMaxAngleShown = m_model.MaxAngle();
}

void CCorCtrl::DrawReadout(const CRect& box, int value, int none)
{
    // A readout with nothing to show still clears its box.
    const QString text = value == none ? QString() : QString::number(value);
    const int x = (box.left + box.right) / 2;
    const int y = box.top + box.Height() / 2 - m_nTextHeight / 2;
    Dc().ExtTextOut(x, y, ETO_OPAQUE | ETO_CLIPPED, &box, text);
}

// ---- messages ---------------------------------------------------------------

void CCorCtrl::OnPaint()
{
    // The class background brush erases the client area first.
    Dc().FillSolidRect(ClientRect(), kColorBackground);
    CalcLayout(ClientRect());
    DrawScale();
    m_nLastPos = 0;
    DrawPointer();
    DrawAngles();
}

void CCorCtrl::OnTimer(int /*id*/)
{
    m_nPos = 0;
    DrawPointer();
    m_watchdog.stop();
}

void CCorCtrl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_watchdog.timerId())
        OnTimer(kWatchdogTimerId);
    else
        CMeterCtrl::timerEvent(event);
}

void CCorCtrl::OnLButtonDown(int /*x*/, int /*y*/)
{
    m_model.ClearAngles();
    DrawAngles();
}

std::unique_ptr<QMenu> CCorCtrl::BuildContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* on = menu->addAction(QStringLiteral("On"));
    on->setData(ID_COR_ON);
    on->setCheckable(true);
    on->setChecked(m_nOn != 0);
    menu->addSeparator();
    QAction* horizontal = menu->addAction(QStringLiteral("Horizontal"));
    horizontal->setData(ID_COR_HORIZONTAL);
    horizontal->setCheckable(true);
    horizontal->setChecked(m_bHorizontal);
    return menu;
}

void CCorCtrl::OnContextMenu(const QPoint& globalPos)
{
    std::unique_ptr<QMenu> menu = BuildContextMenu();
    // Right-aligned: the menu's right edge at the clicked point.
    const QPoint at(globalPos.x() - menu->sizeHint().width(), globalPos.y());
    if (QAction* chosen = menu->exec(at))
        OnCommand(chosen->data().toInt());
}

void CCorCtrl::OnCommand(int id)
{
    // The view toggles the state and calls back SetOn or SetHorizontal.
    auto* view = qobject_cast<CMeterView*>(parentWidget());
    if (!view)
        return;
    if (id == ID_COR_ON)
        view->OnCommand(ID_METER_ONOFF);
    else if (id == ID_COR_HORIZONTAL)
        view->OnCommand(ID_ORIENTATION);
}
