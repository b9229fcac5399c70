#include "platform/DrawContext.h"

#include <QFont>
#include <gtest/gtest.h>

namespace {

class DrawContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dc.Resize(40, 30);
        dc.SetDirtyHandler([this](const CRect& rc) { dirty.push_back(rc); });
    }

    // Counts the pixels of `color` inside `rc`.
    int Count(const CRect& rc, COLORREF color) const
    {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += dc.GetPixel(x, y) == color;
        return n;
    }

    CDrawContext dc;
    std::vector<CRect> dirty;
};

TEST_F(DrawContextTest, PatCopyFillsExactlyTheRectangleWithoutRightAndBottomEdges)
{
    dc.SelectBrush(RGB(10, 200, 30));
    dc.PatBlt(CRect(5, 6, 9, 8), Rop::PatCopy);
    EXPECT_EQ(Count(dc.ClientRect(), RGB(10, 200, 30)), 4 * 2);
    EXPECT_EQ(dc.GetPixel(5, 6), RGB(10, 200, 30));
    EXPECT_EQ(dc.GetPixel(8, 7), RGB(10, 200, 30));
    EXPECT_EQ(dc.GetPixel(9, 7), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(8, 8), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(4, 6), RGB(0, 0, 0));
    ASSERT_FALSE(dirty.empty());
    EXPECT_EQ(dirty.back(), CRect(5, 6, 9, 8));
}

TEST_F(DrawContextTest, BlacknessClearsOnlyTheRectangle)
{
    dc.FillSolidRect(dc.ClientRect(), RGB(255, 255, 255));
    dc.PatBlt(CRect(0, 0, 3, 2), Rop::Blackness);
    EXPECT_EQ(Count(dc.ClientRect(), RGB(0, 0, 0)), 6);
    EXPECT_EQ(dc.GetPixel(3, 0), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(0, 2), RGB(255, 255, 255));
}

TEST_F(DrawContextTest, PatInvertTwiceRestoresEveryPixel)
{
    dc.FillSolidRect(CRect(0, 0, 20, 30), RGB(12, 34, 56));
    const QImage before = dc.Image().copy();
    dc.SelectBrush(RGB(0, 255, 128));
    dc.PatBlt(CRect(15, 10, 25, 12), Rop::PatInvert);
    EXPECT_EQ(dc.GetPixel(16, 10), RGB(12 ^ 0, 34 ^ 255, 56 ^ 128));
    EXPECT_EQ(dc.GetPixel(22, 11), RGB(0, 255, 128));
    dc.PatBlt(CRect(15, 10, 25, 12), Rop::PatInvert);
    EXPECT_EQ(dc.Image(), before);
}

TEST_F(DrawContextTest, FillsAreClippedToTheBackBuffer)
{
    dc.FillSolidRect(CRect(-5, -5, 100, 2), RGB(1, 2, 3));
    EXPECT_EQ(Count(dc.ClientRect(), RGB(1, 2, 3)), 40 * 2);
    ASSERT_FALSE(dirty.empty());
    EXPECT_EQ(dirty.back(), CRect(0, 0, 40, 2));
}

TEST_F(DrawContextTest, OpaqueClippedTextNeverPaintsOutsideItsBox)
{
    dc.FillSolidRect(dc.ClientRect(), RGB(50, 50, 50));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    dc.SelectFont(font);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.SetBkColor(RGB(0, 0, 0));
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    const CRect box(10, 10, 22, 16);
    dc.ExtTextOut(16, 8, ETO_OPAQUE | ETO_CLIPPED, &box, QStringLiteral("-120.5 dB"));
    for (int y = 0; y < dc.Height(); ++y) {
        for (int x = 0; x < dc.Width(); ++x) {
            if (!box.PtInRect(x, y)) {
                ASSERT_EQ(dc.GetPixel(x, y), RGB(50, 50, 50)) << x << "," << y;
            }
        }
    }
    // The text is drawn: some pixel in the box has the text colour.
    EXPECT_GT(Count(box, RGB(255, 255, 255)), 0);
}

TEST_F(DrawContextTest, EmptyOpaqueTextBlanksItsBox)
{
    dc.FillSolidRect(dc.ClientRect(), RGB(200, 0, 0));
    dc.SetBkColor(RGB(0, 0, 0));
    const CRect box(2, 3, 12, 9);
    dc.ExtTextOut(2, 3, ETO_OPAQUE | ETO_CLIPPED, &box, QString());
    EXPECT_EQ(Count(box, RGB(0, 0, 0)), box.Width() * box.Height());
    EXPECT_EQ(Count(dc.ClientRect(), RGB(0, 0, 0)), box.Width() * box.Height());
}

TEST_F(DrawContextTest, LinesLeaveOutTheirEndPoint)
{
    dc.SelectPen(RGB(128, 128, 128));
    dc.MoveTo(3, 5);
    dc.LineTo(10, 5);
    EXPECT_EQ(Count(dc.ClientRect(), RGB(128, 128, 128)), 7);
    EXPECT_EQ(dc.GetPixel(3, 5), RGB(128, 128, 128));
    EXPECT_EQ(dc.GetPixel(9, 5), RGB(128, 128, 128));
    EXPECT_EQ(dc.GetPixel(10, 5), RGB(0, 0, 0));
    // The pen stays selected and the current position moved to the end.
    dc.LineTo(10, 9);
    EXPECT_EQ(dc.GetPixel(10, 5), RGB(128, 128, 128));
    EXPECT_EQ(dc.GetPixel(10, 9), RGB(0, 0, 0));
}

TEST_F(DrawContextTest, DottedDiagonalLightsEveryOtherPixel)
{
    dc.SelectPen(RGB(0, 128, 0), 1, PenStyle::Dot);
    dc.MoveTo(0, 0);
    dc.LineTo(10, 10);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 128, 0));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(0, 128, 0));
    EXPECT_EQ(Count(dc.ClientRect(), RGB(0, 128, 0)), 5);
}

TEST_F(DrawContextTest, ACopyOfTheImageKeepsItsPixelsWhileDrawingGoesOn)
{
    dc.FillSolidRect(CRect(0, 0, 4, 4), RGB(1, 2, 3));
    const QImage copy = dc.Image(); // shares the pixels until someone writes
    dc.FillSolidRect(CRect(0, 0, 4, 4), RGB(9, 9, 9));
    dc.SelectBrush(RGB(255, 255, 255));
    dc.PatBlt(CRect(10, 10, 12, 12), Rop::PatInvert);
    EXPECT_EQ(FromPixel(copy.pixel(1, 1)), RGB(1, 2, 3));
    EXPECT_EQ(FromPixel(copy.pixel(10, 10)), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(9, 9, 9));
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(255, 255, 255));
    // Text goes through a painter, which must not leave the fills behind.
    const QImage second = dc.Image();
    dc.ExtTextOut(20, 0, 0, nullptr, QStringLiteral("x"));
    dc.FillSolidRect(CRect(30, 20, 31, 21), RGB(7, 7, 7));
    EXPECT_EQ(dc.GetPixel(30, 20), RGB(7, 7, 7));
    EXPECT_EQ(FromPixel(second.pixel(30, 20)), RGB(0, 0, 0));
}

TEST_F(DrawContextTest, SelectedObjectsPersistAcrossResize)
{
    dc.SelectBrush(RGB(9, 8, 7));
    dc.SetTextColor(RGB(1, 1, 1));
    dc.Resize(10, 10);
    EXPECT_EQ(dc.BrushColor(), RGB(9, 8, 7));
    EXPECT_EQ(dc.TextColor(), RGB(1, 1, 1));
    EXPECT_EQ(Count(dc.ClientRect(), RGB(0, 0, 0)), 100);
}

TEST_F(DrawContextTest, EllipsisTextStaysInsideItsRectangle)
{
    dc.FillSolidRect(dc.ClientRect(), RGB(0, 0, 255));
    dc.SetTextColor(RGB(255, 255, 0));
    const CRect rc(2, 2, 30, 20);
    dc.DrawText(QStringLiteral("A very long window title"), rc, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    for (int y = 0; y < dc.Height(); ++y) {
        for (int x = 0; x < dc.Width(); ++x) {
            if (!rc.PtInRect(x, y)) {
                ASSERT_EQ(dc.GetPixel(x, y), RGB(0, 0, 255));
            }
        }
    }
    EXPECT_GT(Count(rc, RGB(255, 255, 0)), 0);
}

} // namespace

namespace {
// At two device pixels per logical pixel, every primitive covers whole 2 x 2
// blocks: the device pixels just inside and just outside each shape's edges.
TEST(DrawContextScale, PrimitivesCoverWholeDeviceBlocks)
{
    CDrawContext dc;
    dc.Resize(20, 10, 2);
    std::vector<CRect> dirty;
    dc.SetDirtyHandler([&dirty](const CRect& rc) { dirty.push_back(rc); });
    ASSERT_EQ(dc.Image().size(), QSize(40, 20));
    ASSERT_EQ(dc.Width(), 20);

    dc.FillSolidRect(CRect(2, 1, 5, 3), RGB(255, 0, 0)); // device x 4..9, y 2..5
    dc.SelectPen(RGB(0, 255, 0));
    dc.MoveTo(10, 7);
    dc.LineTo(10, 9); // device x 20..21, y 14..17
    dc.SetPixel(15, 2, RGB(0, 0, 255)); // device x 30..31, y 4..5
    dc.SelectBrush(RGB(255, 255, 255));
    dc.PatBlt(CRect(17, 8, 18, 9), Rop::PatInvert); // device x 34..35, y 16..17

    struct Probe {
        int x, y;
        QRgb expected;
    };
    const Probe probes[] = {
        { 3, 2, qRgb(0, 0, 0) }, { 4, 2, qRgb(255, 0, 0) }, { 9, 5, qRgb(255, 0, 0) }, { 10, 5, qRgb(0, 0, 0) },
        { 9, 6, qRgb(0, 0, 0) }, { 4, 1, qRgb(0, 0, 0) },
        { 19, 14, qRgb(0, 0, 0) }, { 20, 14, qRgb(0, 255, 0) }, { 21, 17, qRgb(0, 255, 0) }, { 22, 14, qRgb(0, 0, 0) },
        { 20, 18, qRgb(0, 0, 0) },
        { 30, 4, qRgb(0, 0, 255) }, { 31, 5, qRgb(0, 0, 255) }, { 32, 4, qRgb(0, 0, 0) }, { 30, 6, qRgb(0, 0, 0) },
        { 34, 16, qRgb(255, 255, 255) }, { 35, 17, qRgb(255, 255, 255) }, { 36, 17, qRgb(0, 0, 0) },
    };
    for (const Probe& p : probes)
        EXPECT_EQ(dc.Image().pixel(p.x, p.y) | 0xFF000000u, p.expected) << "device pixel " << p.x << "," << p.y;

    // Reading and the changed rectangles stay in logical pixels.
    EXPECT_EQ(dc.GetPixel(2, 1), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(5, 1), RGB(0, 0, 0));
    ASSERT_FALSE(dirty.empty());
    EXPECT_EQ(dirty.front(), CRect(2, 1, 5, 3));
}
}
