#pragma once
// A peak meter control of a chosen client size, painted and settled, with a
// stand-in frame that records the caption's on state.
#include "meters/ppm/PpmCtrl.h"
#include "tests/common/FakeViewFrame.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

class PpmCtrlFixture : public ::testing::Test {
protected:
    // Magnitudes whose steps are telling rows of the level table.
    static constexpr unsigned kMinus6Db = 16422;  // step 300
    static constexpr unsigned kMinus1Db = 29204;  // step 350
    static constexpr unsigned kMinus10Db = 10362; // step 260
    static constexpr unsigned kFullScale = 32767; // step 360

    // `clientWidth` x `clientHeight` inside the one-pixel border.
    void Make(int clientWidth, int clientHeight, int horizontal = 0)
    {
        ctrl = std::make_unique<CPpmCtrl>();
        ctrl->SetFrame(&frame);
        ctrl->Create(2, 0, 0, clientWidth + 2, clientHeight + 2, 4711, horizontal);
        Settle();
    }
    // Runs a pending full repaint and the click it posts.
    void Settle()
    {
        ctrl->PaintNow();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        ctrl->PaintNow();
        QCoreApplication::sendPostedEvents();
    }
    // Feeds one block whose peak is `magnitude` on both channels.
    void Feed(unsigned magnitude) { ctrl->SetValue(magnitude, -1); }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            ctrl->OnTimer();
    }
    COLORREF Pixel(int x, int y) const { return ctrl->Dc().GetPixel(x, y); }
    // Every pixel of `rc` has colour `c`.
    bool All(const CRect& rc, COLORREF c) const
    {
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                if (Pixel(x, y) != c)
                    return false;
        return true;
    }
    bool Any(const CRect& rc, COLORREF c) const
    {
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                if (Pixel(x, y) == c)
                    return true;
        return false;
    }
    CPpmBar& Bar(unsigned i) { return ctrl->Bar(i); }

    CFakeViewFrame frame;
    std::unique_ptr<CPpmCtrl> ctrl;

    static constexpr COLORREF kGreen = RGB(0, 192, 0);
    static constexpr COLORREF kYellow = RGB(255, 255, 0);
    static constexpr COLORREF kRed = RGB(255, 0, 0);
    static constexpr COLORREF kBlack = RGB(0, 0, 0);
    static constexpr COLORREF kCyan = RGB(0, 255, 255);
};
