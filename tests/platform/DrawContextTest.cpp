// The back-buffer drawing primitives on a high-density screen.
#include "platform/DrawContext.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

// At two device pixels per logical pixel every primitive covers whole 2 x 2
// blocks: the device pixels just inside and just outside each shape's edges.
TEST(DrawContext, AtScaleTwoPrimitivesCoverWholeDeviceBlocks)
{
    CDrawContext dc;
    dc.Resize(20, 10, 2);
    std::vector<CRect> dirty;
    dc.SetDirtyHandler([&dirty](const CRect& rc) { dirty.push_back(rc); });
    ASSERT_EQ(dc.Image().size(), QSize(40, 20));
    dc.FillSolidRect(CRect(2, 1, 5, 3), RGB(255, 0, 0)); // device x 4..9, y 2..5
    dc.SelectPen(RGB(0, 255, 0));
    dc.MoveTo(10, 7);
    dc.LineTo(10, 9); // device x 20..21, y 14..17
    dc.SelectBrush(RGB(255, 255, 255));
    dc.PatBlt(CRect(17, 8, 18, 9), Rop::PatInvert); // device x 34..35, y 16..17
    const struct {
        int x, y;
        QRgb expected;
    } probes[] = {
        { 3, 2, qRgb(0, 0, 0) }, { 4, 2, qRgb(255, 0, 0) }, { 9, 5, qRgb(255, 0, 0) }, { 10, 5, qRgb(0, 0, 0) },
        { 9, 6, qRgb(0, 0, 0) }, { 19, 14, qRgb(0, 0, 0) }, { 21, 17, qRgb(0, 255, 0) }, { 22, 14, qRgb(0, 0, 0) },
        { 20, 18, qRgb(0, 0, 0) }, { 34, 16, qRgb(255, 255, 255) }, { 35, 17, qRgb(255, 255, 255) },
        { 36, 17, qRgb(0, 0, 0) },
    };
    for (const auto& p : probes)
        EXPECT_EQ(dc.Image().pixel(p.x, p.y) | 0xFF000000u, p.expected) << "device pixel " << p.x << "," << p.y;
    // Reading and the changed rectangles stay in logical pixels.
    EXPECT_EQ(dc.GetPixel(4, 2), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(5, 1), kBlack);
    EXPECT_EQ(dirty.front(), CRect(2, 1, 5, 3));
}

} // namespace
