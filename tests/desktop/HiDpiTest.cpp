// A control on a screen with a device pixel ratio of 2: its back buffer holds
// device pixels, one-pixel lines are exactly two device pixels wide, text is
// rendered at device resolution and the layout is the same in logical pixels.
#include "meters/correlation/CorCtrl.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include <memory>

namespace {
constexpr QRgb kTickGrey = qRgb(128, 128, 128);
constexpr QRgb kBlack = qRgb(0, 0, 0);

class HiDpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Horizontal, client 198 x 98 logical pixels: track (16, 33, 182, 71),
        // the zero tick in column 99 from row 27 to row 32 above the track.
        m_ctrl = std::make_unique<CCorCtrl>(nullptr, true);
        m_ctrl->resize(200, 100);
        m_ctrl->show();
        m_ctrl->PaintNow();
        ASSERT_EQ(m_ctrl->devicePixelRatioF(), 2.0) << "the test program must run with QT_SCALE_FACTOR=2";
    }
    QRgb Device(int x, int y) const { return m_ctrl->Dc().Image().pixel(x, y) | 0xFF000000u; }

    std::unique_ptr<CCorCtrl> m_ctrl;
};

// Logical column 99 is device columns 198 and 199; the screen gets the back
// buffer behind a one-pixel border, device pixel for device pixel.
TEST_F(HiDpi, BackBufferHoldsDevicePixelsForTheSameLogicalLayoutAndReachesTheScreenUnscaled)
{
    EXPECT_EQ(QSize(m_ctrl->Dc().Width(), m_ctrl->Dc().Height()), QSize(198, 98));
    EXPECT_EQ(m_ctrl->Dc().Image().size(), QSize(396, 196));
    const CRect track = m_ctrl->BarRect();
    EXPECT_EQ(QRect(QPoint(track.left, track.top), QPoint(track.right, track.bottom)), QRect(QPoint(16, 33), QPoint(182, 71)));
    const QImage shown = m_ctrl->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(400, 200));
    for (int deviceY : { 2 * 28, 2 * 28 + 1, 2 * 32 + 1 }) {
        for (int deviceX = 196; deviceX < 202; ++deviceX) {
            const QRgb expected = deviceX == 198 || deviceX == 199 ? kTickGrey : kBlack;
            EXPECT_EQ(Device(deviceX, deviceY), expected) << "device pixel " << deviceX << "," << deviceY;
            EXPECT_EQ(shown.pixel(deviceX + 2, deviceY + 2) | 0xFF000000u, expected) << "shown " << deviceX << "," << deviceY;
        }
    }
}

TEST_F(HiDpi, TextIsRenderedAtDeviceResolution)
{
    // The "0" above the zero tick: drawn at logical resolution and enlarged,
    // every 2 x 2 block would be one colour; at device resolution some are not.
    const CRect label(99 - 10, 33 - m_ctrl->Dc().TextHeight() - 6, 99 + 10, 33);
    int lit = 0;
    int splitBlocks = 0;
    for (int y = label.top; y < label.bottom; ++y) {
        for (int x = label.left; x < label.right; ++x) {
            const QRgb a = Device(2 * x, 2 * y), b = Device(2 * x + 1, 2 * y);
            const QRgb c = Device(2 * x, 2 * y + 1), d = Device(2 * x + 1, 2 * y + 1);
            lit += (a != kBlack) + (b != kBlack) + (c != kBlack) + (d != kBlack);
            splitBlocks += (a != b || a != c || a != d) ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 20);
    EXPECT_GT(splitBlocks, 4);
}
}
