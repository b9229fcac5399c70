#pragma once
// The child frame of every instrument window. In the restored state it paints
// its own small caption over the system one: a blue gradient when active, a
// grey one when inactive, the title cyan and bold while the meter is on, red
// and thin while it is off, its own minimise and maximise buttons and a close
// button drawn disabled. Minimised and maximised frames keep the system
// caption. Close only minimises: an instrument window lives as long as the
// program. The frame forwards size changes and size limits to its view and
// reports the start and end of a user move or size.
//
// UI thread only.
#include "meters/common/ViewFrame.h"
#include "platform/DrawContext.h"
#include "platform/Rect.h"

#include <QMdiSubWindow>
#include <QRect>
#include <array>

class CMeterView;
class ISizeMoveListener;

class CMultiViewFrame : public QMdiSubWindow, public IViewFrame {
    Q_OBJECT
public:
    CMultiViewFrame(CMeterView* view, const QString& title, ISizeMoveListener* listener, QWidget* parent = nullptr);

    CMeterView* View() const { return m_pView; }
    int MeterOn() const { return m_nMeterOn; }
    bool CaptionActive() const { return m_bActive; }
    // The caption rectangle in frame coordinates (empty unless restored).
    const CRect& CaptionRect() const { return m_rcCaption; }
    // The composed caption image of the inactive (false) or active (true) look.
    const QImage& CaptionImage(bool active) const { return m_bmpCaption[active ? 1 : 0].Image(); }
    // Button rectangles in frame coordinates.
    const CRect& CloseButtonRect() const { return m_rcCloseBtn; }
    const CRect& MaxButtonRect() const { return m_rcMaxBtn; }
    const CRect& MinButtonRect() const { return m_rcMinBtn; }
    bool IsRestored() const { return !isMinimized() && !isMaximized(); }
    bool InSizeMove() const { return m_bInSizeMove; }

    // IViewFrame
    void SetMeterOn(int on) override;
    CWindowPlacement GetWindowPlacement() const override;
    // A placement read from the settings or a workspace file lands with its
    // caption inside the main window's client area (see KeepReachable).
    void SetWindowPlacement(const CWindowPlacement& placement) override;
    // Moves the window (its normal rectangle while minimised or maximised)
    // the least distance that leaves its caption reachable in the client
    // area; nothing while the main window is not shown.
    void KeepReachable();
    QString WindowText() const override { return windowTitle(); }
    QRect FrameRect() const override { return geometry(); }
    void MoveFrame(const QRect& rect) override;
    void MdiRestore() override { showNormal(); }
    void MdiMaximize() override { showMaximized(); }
    void ShowMinimized() override { showMinimized(); }
    void MdiActivate() override;
    bool IsMinimized() const override { return isMinimized(); }

    // Composes the caption of the given look and stores the caption and
    // button rectangles.
    void BuildCaption(bool active);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CRect CalcCaptionRect() const;
    void FillGradient(CDrawContext& dc, bool active) const;
    void PlaceButtons(int width, int height);
    void DrawButtons(CDrawContext& dc) const;
    void DrawTitle(CDrawContext& dc) const;
    void RefreshCaption();
    void RememberNormalRect();
    void ForwardSize();
    bool OnCaptionButton(const QPoint& pos);

    CMeterView* m_pView;
    ISizeMoveListener* m_pListener;
    int m_nMeterOn = 0;
    bool m_bActive = false;
    CRect m_rcCaption;
    std::array<CDrawContext, 2> m_bmpCaption;
    CRect m_rcCloseBtn;
    CRect m_rcMaxBtn;
    CRect m_rcMinBtn;
    // The restored rectangle, kept while the frame is minimised or maximised.
    QRect m_rcNormal;
    bool m_bInSizeMove = false;
    // The last size type and size told to the view, so each change reaches it once.
    int m_nLastSizeType = -1;
    QSize m_lastSize;
};
