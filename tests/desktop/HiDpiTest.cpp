// A control on a screen with a device pixel ratio of 2: its back buffer holds
// device pixels, one-pixel lines are exactly two device pixels wide, text is
// rendered at device resolution and the layout is the same in logical pixels.
#include "meters/correlation/CorCtrl.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {
constexpr QRgb kTickGrey = qRgb(128, 128, 128);
constexpr QRgb kBlack = qRgb(0, 0, 0);
}

// Horizontal, client 198 x 98 logical pixels: track (16, 33, 182, 71), the
// zero tick in logical column 99 (device columns 198 and 199) from row 27 to
// row 32 above the track. The screen gets the back buffer behind a one-pixel
// border, device pixel for device pixel.
TEST(HiDpi, BackBufferHoldsDevicePixelsTextIncludedAndReachesTheScreenUnscaled)
{
    CCorCtrl ctrl(nullptr, true);
    ctrl.resize(200, 100);
    ctrl.show();
    ctrl.PaintNow();
    ASSERT_EQ(ctrl.devicePixelRatioF(), 2.0) << "the test program must run with QT_SCALE_FACTOR=2";
    const QImage& image = ctrl.Dc().Image();
    const auto device = [&image](int x, int y) { return image.pixel(x, y) | 0xFF000000u; };
    EXPECT_EQ(QSize(ctrl.Dc().Width(), ctrl.Dc().Height()), QSize(198, 98));
    EXPECT_EQ(image.size(), QSize(396, 196));
    const CRect track = ctrl.BarRect();
    EXPECT_EQ(QRect(QPoint(track.left, track.top), QPoint(track.right, track.bottom)), QRect(QPoint(16, 33), QPoint(182, 71)));
    const QImage shown = ctrl.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(400, 200));
    for (int deviceY : { 2 * 28, 2 * 28 + 1, 2 * 32 + 1 }) {
        for (int deviceX = 196; deviceX < 202; ++deviceX) {
            const QRgb expected = deviceX == 198 || deviceX == 199 ? kTickGrey : kBlack;
            EXPECT_EQ(device(deviceX, deviceY), expected) << "device pixel " << deviceX << "," << deviceY;
            EXPECT_EQ(shown.pixel(deviceX + 2, deviceY + 2) | 0xFF000000u, expected) << "shown " << deviceX << "," << deviceY;
        }
    }
    // The "0" above the zero tick: drawn at logical resolution and enlarged,
    // every 2 x 2 block would be one colour; at device resolution some are not.
    int lit = 0;
    int splitBlocks = 0;
    for (int y = 33 - ctrl.Dc().TextHeight() - 6; y < 33; ++y) {
        for (int x = 99 - 10; x < 99 + 10; ++x) {
            const QRgb a = device(2 * x, 2 * y);
            const QRgb b = device(2 * x + 1, 2 * y);
            const QRgb c = device(2 * x, 2 * y + 1);
            const QRgb d = device(2 * x + 1, 2 * y + 1);
            lit += (a != kBlack) + (b != kBlack) + (c != kBlack) + (d != kBlack);
            splitBlocks += (a != b || a != c || a != d) ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 20);
    EXPECT_GT(splitBlocks, 4);
}
