#pragma once
// A rectangle with exclusive right and bottom edges, the geometry every
// control's layout is computed in.
#include <QRect>
#include <algorithm>

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    constexpr bool operator==(const CRect&) const = default;

    // The overlap of two rectangles; empty (all zero) when they do not meet.
    static constexpr CRect Intersect(const CRect& a, const CRect& b)
    {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom));
        return r.IsRectEmpty() ? CRect() : r;
    }
    QRect ToQRect() const { return IsRectEmpty() ? QRect() : QRect(left, top, Width(), Height()); }
    static CRect FromQRect(const QRect& q) { return CRect(q.left(), q.top(), q.left() + q.width(), q.top() + q.height()); }
};
