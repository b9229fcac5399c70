#include "shell/MultiViewFrame.h"

#include "meters/common/MeterFonts.h"
#include "meters/common/MeterView.h"
#include "shell/ShellIds.h"
#include "shell/SizeMoveListener.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

using namespace ShellIds;

namespace {
constexpr COLORREF kButtonFace = RGB(192, 192, 192);
constexpr COLORREF kButtonLight = RGB(255, 255, 255);
constexpr COLORREF kButtonShadow = RGB(128, 128, 128);
constexpr COLORREF kButtonDark = RGB(0, 0, 0);
constexpr COLORREF kGlyph = RGB(0, 0, 0);
constexpr COLORREF kGlyphDisabled = RGB(128, 128, 128);

enum class CaptionButton { Close, Max, Min };

// A raised button face with the usual light and dark edges.
void DrawButtonFace(CDrawContext& dc, const CRect& r)
{
    dc.FillSolidRect(r, kButtonFace);
    dc.FillSolidRect(CRect(r.left, r.top, r.right - 1, r.top + 1), kButtonLight);
    dc.FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom - 1), kButtonLight);
    dc.FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), kButtonDark);
    dc.FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), kButtonDark);
    dc.FillSolidRect(CRect(r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1), kButtonShadow);
    dc.FillSolidRect(CRect(r.right - 2, r.top + 1, r.right - 1, r.bottom - 1), kButtonShadow);
}

void DrawGlyph(CDrawContext& dc, const CRect& r, CaptionButton kind, COLORREF color, int dx = 0, int dy = 0)
{
    const int cx = r.left + r.Width() / 2 + dx;
    const int cy = r.top + r.Height() / 2 + dy;
    switch (kind) {
    case CaptionButton::Min:
        dc.FillSolidRect(CRect(cx - 3, cy + 1, cx + 3, cy + 3), color);
        break;
    case CaptionButton::Max:
        dc.FillSolidRect(CRect(cx - 4, cy - 4, cx + 4, cy - 2), color);
        dc.FillSolidRect(CRect(cx - 4, cy - 2, cx - 3, cy + 3), color);
        dc.FillSolidRect(CRect(cx + 3, cy - 2, cx + 4, cy + 3), color);
        dc.FillSolidRect(CRect(cx - 4, cy + 2, cx + 4, cy + 3), color);
        break;
    case CaptionButton::Close:
        for (int i = -3; i <= 3; ++i) {
            dc.SetPixel(cx + i, cy + i, color);
            dc.SetPixel(cx + i + 1, cy + i, color);
            dc.SetPixel(cx - i, cy + i, color);
            dc.SetPixel(cx - i + 1, cy + i, color);
        }
        break;
    }
}

CRect Offset(CRect r, int dx, int dy)
{
    r.OffsetRect(dx, dy);
    return r;
}
}

CMultiViewFrame::CMultiViewFrame(CMeterView* view, const QString& title, ISizeMoveListener* listener, QWidget* parent)
    : QMdiSubWindow(parent)
    , m_pView(view)
    , m_pListener(listener)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(title);
    if (m_pView) {
        setWidget(m_pView);
        m_pView->SetFrame(this);
    }
}

// ---- the caption ------------------------------------------------------------

CRect CMultiViewFrame::CalcCaptionRect() const
{
    // The system caption of a restored frame lies between the frame border
    // and the client area; ours covers it less one border line.
    const int frame = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int clientTop = contentsMargins().top();
    const int bottom = std::max(clientTop - 1, frame + 1);
    return CRect(frame, frame, std::max(width() - frame, frame + 1), bottom);
}

void CMultiViewFrame::FillGradient(CDrawContext& dc, bool active) const
{
    const int h = dc.Height();
    const int step = kCaptionGradientSpan / h;
    const COLORREF top = active ? kCaptionActiveTop : kCaptionInactiveTop;
    for (int row = 0; row < h; ++row) {
        const int c = (row * step) & 0xFF;
        dc.SelectBrush(RGB(GetRValue(top) - c, GetGValue(top) - c, GetBValue(top) - c));
        dc.PatBlt(CRect(0, row, dc.Width(), row + 1), Rop::PatCopy);
    }
}

void CMultiViewFrame::PlaceButtons(int width, int height)
{
    const int top = std::max(kButtonTop, (height - kButtonHeight) / 2);
    CRect r(kButtonLeft, top, kButtonLeft + kButtonWidth, top + kButtonHeight);
    r.OffsetRect(width - kButtonCell, 0);
    // Kept in frame coordinates, where mouse positions arrive.
    const int dx = m_rcCaption.left;
    const int dy = m_rcCaption.top;
    m_rcCloseBtn = Offset(r, dx, dy);
    r.OffsetRect(-kMaxButtonStep, 0);
    m_rcMaxBtn = Offset(r, dx, dy);
    r.OffsetRect(-kMinButtonStep, 0);
    m_rcMinBtn = Offset(r, dx, dy);
}

void CMultiViewFrame::DrawButtons(CDrawContext& dc) const
{
    const int dx = -m_rcCaption.left;
    const int dy = -m_rcCaption.top;
    const CRect close = Offset(m_rcCloseBtn, dx, dy);
    DrawButtonFace(dc, close);
    // Drawn disabled: an etched grey glyph. The frame cannot be closed.
    DrawGlyph(dc, close, CaptionButton::Close, kButtonLight, 1, 1);
    DrawGlyph(dc, close, CaptionButton::Close, kGlyphDisabled);
    const CRect max = Offset(m_rcMaxBtn, dx, dy);
    DrawButtonFace(dc, max);
    DrawGlyph(dc, max, CaptionButton::Max, kGlyph);
    const CRect min = Offset(m_rcMinBtn, dx, dy);
    DrawButtonFace(dc, min);
    DrawGlyph(dc, min, CaptionButton::Min, kGlyph);
}

void CMultiViewFrame::DrawTitle(CDrawContext& dc) const
{
    const int right = m_rcMinBtn.left - m_rcCaption.left - kTitleInset;
    const CRect text(kTitleInset, 0, right, dc.Height());
    if (text.IsRectEmpty())
        return;
    const bool on = m_nMeterOn != 0;
    dc.SelectFont(CMeterFonts::Font(QString::fromLatin1(kCaptionFace), kCaptionFontHeight,
        on ? kCaptionWeightOn : kCaptionWeightOff));
    dc.SetTextColor(on ? kTitleOnColor : kTitleOffColor);
    dc.DrawText(windowTitle(), text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void CMultiViewFrame::BuildCaption(bool active)
{
    m_rcCaption = CalcCaptionRect();
    CDrawContext& dc = m_bmpCaption[active ? 1 : 0];
    dc.Resize(m_rcCaption.Width(), m_rcCaption.Height());
    FillGradient(dc, active);
    PlaceButtons(m_rcCaption.Width(), m_rcCaption.Height());
    DrawButtons(dc);
    DrawTitle(dc);
}

void CMultiViewFrame::RefreshCaption()
{
    if (!IsRestored())
        return;
    BuildCaption(m_bActive);
    // Painted at once, so a change of the meter's state shows without
    // waiting for the frame to be activated or exposed.
    if (isVisible())
        repaint(m_rcCaption.ToQRect());
}

void CMultiViewFrame::paintEvent(QPaintEvent* event)
{
    QMdiSubWindow::paintEvent(event);
    if (!IsRestored() || m_rcCaption.IsRectEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(m_rcCaption.left, m_rcCaption.top), CaptionImage(m_bActive));
}

void CMultiViewFrame::SetMeterOn(int on)
{
    m_nMeterOn = on;
    RefreshCaption();
}

// ---- state, size and placement -------------------------------------------------

void CMultiViewFrame::ForwardSize()
{
    if (!m_pView)
        return;
    const int type = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
    // A minimised frame is reported once: the views count minimisation in a
    // class-wide slot, and a second report would overwrite the saved state.
    const bool changed = type != m_nLastSizeType || (type != SIZE_MINIMIZED && size() != m_lastSize);
    m_nLastSizeType = type;
    m_lastSize = size();
    if (changed)
        m_pView->OnSize(type);
}

void CMultiViewFrame::RememberNormalRect()
{
    if (IsRestored())
        m_rcNormal = geometry();
}

void CMultiViewFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    RememberNormalRect();
    ForwardSize();
    if (IsRestored())
        BuildCaption(m_bActive);
}

void CMultiViewFrame::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    RememberNormalRect();
}

void CMultiViewFrame::changeEvent(QEvent* event)
{
    QMdiSubWindow::changeEvent(event);
    switch (event->type()) {
    case QEvent::WindowStateChange:
        // A disabled frame never shows the active look.
        m_bActive = windowState().testFlag(Qt::WindowActive) && isEnabled();
        ForwardSize();
        RefreshCaption();
        break;
    case QEvent::WindowTitleChange:
    case QEvent::EnabledChange:
        RefreshCaption();
        break;
    default:
        break;
    }
}

QSize CMultiViewFrame::minimumSizeHint() const
{
    // Only a restored frame takes the view's limits; a minimised one is the
    // system's small bar.
    if (m_pView && IsRestored())
        return m_pView->MinTrackSize();
    return QMdiSubWindow::minimumSizeHint();
}

CWindowPlacement CMultiViewFrame::GetWindowPlacement() const
{
    CWindowPlacement p;
    const QRect normal = IsRestored() || !m_rcNormal.isValid() ? geometry() : m_rcNormal;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    p.showCmd = isMinimized() ? SW_SHOWMINIMIZED : isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (isMinimized()) {
        p.minX = geometry().left();
        p.minY = geometry().top();
    }
    return p;
}

void CMultiViewFrame::SetWindowPlacement(const CWindowPlacement& stored)
{
    const CWindowPlacement placement = stored.Clamped();
    const QRect normal(placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
    // The normal rectangle is set in the restored state, so that a later
    // restore from the minimised or maximised state returns to it.
    if (!IsRestored())
        showNormal();
    if (normal.isValid())
        setGeometry(normal);
    KeepReachable();
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED: showMinimized(); break;
    case SW_SHOWMAXIMIZED: showMaximized(); break;
    default: break;
    }
}

void CMultiViewFrame::KeepReachable()
{
    QMdiArea* area = mdiArea();
    // Before the main window is shown the area has no size of its own yet;
    // the main window asks again once it is.
    if (!area || !area->isVisible())
        return;
    const QRect bounds = area->viewport()->rect();
    if (IsRestored())
        setGeometry(ReachableRect(geometry(), bounds));
    else if (m_rcNormal.isValid())
        m_rcNormal = ReachableRect(m_rcNormal, bounds);
}

void CMultiViewFrame::MoveFrame(const QRect& rect)
{
    if (IsRestored())
        setGeometry(rect);
    else
        m_rcNormal = rect;
}

void CMultiViewFrame::MdiActivate()
{
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
}

void CMultiViewFrame::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!isMinimized())
        showMinimized();
}

// ---- mouse: caption buttons and the start and end of a move or size --------------

bool CMultiViewFrame::OnCaptionButton(const QPoint& pos)
{
    if (!IsRestored() || !m_rcCaption.PtInRect(pos.x(), pos.y()))
        return false;
    if (m_rcMinBtn.PtInRect(pos.x(), pos.y())) {
        showMinimized();
        return true;
    }
    if (m_rcMaxBtn.PtInRect(pos.x(), pos.y())) {
        showMaximized();
        return true;
    }
    // The close button, and the system's own buttons hidden under ours, do
    // nothing.
    return pos.x() >= m_rcMinBtn.left;
}

void CMultiViewFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (OnCaptionButton(event->position().toPoint())) {
            event->accept();
            return;
        }
        // A press on the caption or the border starts a move or a size.
        if (!m_bInSizeMove) {
            m_bInSizeMove = true;
            if (m_pListener)
                m_pListener->OnEnterSizeMove();
        }
    }
    QMdiSubWindow::mousePressEvent(event);
}

void CMultiViewFrame::mouseReleaseEvent(QMouseEvent* event)
{
    QMdiSubWindow::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_bInSizeMove) {
        m_bInSizeMove = false;
        if (m_pListener)
            m_pListener->OnExitSizeMove();
    }
}
