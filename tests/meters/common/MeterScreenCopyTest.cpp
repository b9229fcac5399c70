// A control hands its back buffer to the screen rectangle by rectangle:
// each exposed rectangle gets exactly the back buffer's pixels, nothing
// outside the exposed region is touched.
#include "meters/common/MeterCtrl.h"

#include <QImage>
#include <QRegion>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kLeft = RGB(200, 0, 0), kRight = RGB(0, 0, 200);

class CHalvesCtrl : public CMeterCtrl {
protected:
    void OnPaint() override
    {
        const CRect rc = ClientRect();
        Dc().FillSolidRect(CRect(rc.left, rc.top, rc.Width() / 2, rc.bottom), kLeft);
        Dc().FillSolidRect(CRect(rc.Width() / 2, rc.top, rc.right, rc.bottom), kRight);
    }
};

TEST(MeterScreenCopy, EachExposedRectangleGetsTheBackBufferAndNothingElseIsTouched)
{
    CHalvesCtrl ctrl;
    ctrl.resize(202, 162); // a 200 x 160 client area
    ctrl.show();
    ctrl.PaintNow();
    QImage screen(ctrl.size(), QImage::Format_RGB32);
    screen.fill(Qt::white);
    // Two tall rectangles apart, as a window overlapping the middle leaves them.
    const QRegion exposed = QRegion(11, 1, 40, 150) + QRegion(151, 1, 40, 150);
    // render() puts the region's top-left corner at the offset given.
    ctrl.render(&screen, exposed.boundingRect().topLeft(), exposed, QWidget::RenderFlags());
    const QPoint inside[] = { { 11, 1 }, { 49, 149 }, { 151, 20 }, { 189, 149 } };
    for (const QPoint& p : inside) {
        const COLORREF expected = ctrl.Dc().GetPixel(p.x() - 1, p.y() - 1);
        EXPECT_EQ(screen.pixel(p) & 0xFFFFFFu, qRgb(GetRValue(expected), GetGValue(expected), GetBValue(expected)) & 0xFFFFFFu)
            << p.x() << "," << p.y();
    }
    EXPECT_EQ(screen.pixel(100, 50), qRgb(255, 255, 255)); // between the rectangles
    EXPECT_EQ(screen.pixel(30, 155), qRgb(255, 255, 255)); // below them
}

} // namespace
