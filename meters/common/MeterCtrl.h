#pragma once
// The base of the four display controls: a bordered child window with a
// black background and the program's cursor, which owns its "own device
// context" (CDrawContext: the back buffer of its client area and the objects
// selected into it). All drawing goes into the back buffer; paintEvent only
// copies the changed part to the screen.
//
// The full repaint (what a paint message does: layout and redraw of
// everything) runs when the control has been invalidated: created, resized,
// shown or Invalidate()d. PaintNow() runs a pending one at once, so tests can
// read the back buffer without a screen.
//
// UI thread only.
#include "platform/DrawContext.h"
#include "platform/Rect.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class CMeterCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CMeterCtrl(QWidget* parent = nullptr);

    CDrawContext& Dc() { return m_dc; }
    const QImage& BackBuffer() const { return m_dc.Image(); }
    // The client area in back-buffer coordinates (inside the 1-pixel border).
    CRect ClientRect() const { return m_dc.ClientRect(); }

    // Marks the whole control for a full repaint (layout and redraw).
    void Invalidate();
    // Runs a pending full repaint now.
    void PaintNow();
    bool IsInvalid() const { return m_bInvalid; }

    // Moves the control within its parent; the client area is the rectangle
    // less the border.
    void MoveWindow(const CRect& rc);

protected:
    // The full repaint into the back buffer (the paint message's handling).
    virtual void OnPaint() = 0;
    // Left button down at a client point.
    virtual void OnLButtonDown(int /*x*/, int /*y*/) {}
    // Context menu requested at a global (screen) point.
    virtual void OnContextMenu(const QPoint& /*globalPos*/) {}

    // Client coordinates of a widget point.
    QPoint ToClient(const QPoint& widgetPoint) const { return widgetPoint - QPoint(kBorder, kBorder); }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    static constexpr int kBorder = 1;
    // Changes reach the screen at most once per this period (about the
    // display's refresh rate), however often the model moves.
    static constexpr int kMinFlushIntervalMs = 16;

private:
    void ResizeBackBuffer();
    void MarkDirty(const CRect& rc);
    void FlushDirty();

    CDrawContext m_dc;
    bool m_bInvalid = true;
    // Changed back-buffer area not yet handed to the screen.
    CRect m_rcDirty;
    bool m_bFlushPosted = false;
    QElapsedTimer m_sinceFlush;
    QTimer m_flushTimer;
};
