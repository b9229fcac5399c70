#pragma once
// Counting a colour in a rectangle of a control's back buffer: a readout or a
// label shows as some pixels of its colour in its box and none outside it.
#include "platform/DrawContext.h"

inline int CountPixels(const CDrawContext& dc, const CRect& rc, COLORREF color)
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) n += dc.GetPixel(x, y) == color ? 1 : 0;
    return n;
}
