#pragma once
// A clickable patch of solid colour: the colour settings dialog shows each
// bar zone's colour in one and opens the colour chooser when it is clicked.
// UI thread only.
#include "platform/ColorRef.h"

#include <QWidget>

class CColorSwatch : public QWidget {
    Q_OBJECT
public:
    CColorSwatch(int controlId, QWidget* parent = nullptr);

    int ControlId() const { return m_nId; }
    COLORREF Color() const { return m_crColor; }
    // Stores the colour and repaints the patch at once.
    void SetColor(COLORREF color);

signals:
    // The left button was pressed and released over the patch.
    void clicked(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_nId;
    COLORREF m_crColor = RGB(0, 0, 0);
    bool m_bPressed = false;
};
