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

// A line and its mirror image on the diagonal light mirrored pixels, one per
// step of the longer side (the end point is left out), ties included.
TEST(DrawContext, ALineMirroredOnTheDiagonalLightsTheMirroredPixels)
{
    for (int x = 0; x < 7; ++x) {
        for (int y = 0; y < 7; ++y) {
            SCOPED_TRACE(testing::Message() << "to " << x << "," << y);
            CDrawContext line;
            CDrawContext mirror;
            for (auto* dc : { &line, &mirror }) {
                dc->Resize(8, 8);
                dc->SelectPen(RGB(255, 255, 255));
            }
            line.MoveTo(0, 0);
            line.LineTo(x, y);
            mirror.MoveTo(0, 0);
            mirror.LineTo(y, x);
            int lit = 0;
            for (int i = 0; i < 8; ++i) {
                for (int j = 0; j < 8; ++j) {
                    EXPECT_EQ(line.GetPixel(i, j), mirror.GetPixel(j, i)) << i << "," << j;
                    lit += line.GetPixel(i, j) == kBlack ? 0 : 1;
                }
            }
            EXPECT_EQ(lit, std::max(x, y));
        }
    }
}

} // namespace
