#include "meters/common/MeterCursor.h"

#include <QBitmap>
#include <QImage>

namespace {
// 32 x 32 monochrome arrow: 'X' is black, '.' white, ' ' transparent.
const char* const kArrow[] = {
    "X",
    "XX",
    "X.X",
    "X..X",
    "X...X",
    "X....X",
    "X.....X",
    "X......X",
    "X.......X",
    "X........X",
    "X.....XXXXX",
    "X..X..X",
    "X.X X..X",
    "XX  X..X",
    "X    X..X",
    "     X..X",
    "      XX",
};
}

QCursor CMeterCursor::Cursor()
{
    QImage bits(32, 32, QImage::Format_MonoLSB);
    QImage mask(32, 32, QImage::Format_MonoLSB);
    bits.fill(0);
    mask.fill(0);
    for (int y = 0; y < static_cast<int>(sizeof kArrow / sizeof kArrow[0]); ++y) {
        for (int x = 0; kArrow[y][x]; ++x) {
            const char c = kArrow[y][x];
            if (c == ' ')
                continue;
            mask.setPixel(x, y, 1);
            bits.setPixel(x, y, c == 'X' ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), 0, 0);
}
