#include "offline/FirstRunLayout.h"

#include "meters/analyzer/FftIds.h"
#include "meters/correlation/CorConstants.h"
#include "meters/ppm/PpmIds.h"
#include "meters/stereo/StereoIds.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace {
CRect FillingView(const QSize& client) { return CRect(0, 0, client.width(), client.height()); }
}

QMargins CFirstRunLayout::FrameMargins()
{
    // An instrument frame is a subwindow of the main window's MDI area: its
    // margins are the style's frame width and title bar, known as soon as it
    // joins the area.
    static const QMargins margins = [] {
        QMdiArea area;
        QMdiSubWindow* frame = area.addSubWindow(new QWidget);
        return frame->contentsMargins();
    }();
    return margins;
}

QSize CFirstRunLayout::ViewClientOf(const QSize& frame)
{
    const QMargins m = FrameMargins();
    return QSize(std::max(frame.width() - m.left() - m.right(), 0),
                 std::max(frame.height() - m.top() - m.bottom(), 0));
}

CRect CFirstRunLayout::PpmRect()
{
    return FillingView(ViewClientOf(QSize(ppm::kVerticalFrameWidth, ppm::kVerticalFrameHeight)));
}

CRect CFirstRunLayout::CorRect()
{
    return FillingView(ViewClientOf(QSize(cor::kVerticalWidth, cor::kVerticalHeight)));
}

CRect CFirstRunLayout::FftRect()
{
    return CRect(fft::kCreateX, fft::kCreateY, fft::kCreateX + fft::kCreateWidth, fft::kCreateY + fft::kCreateHeight);
}

CRect CFirstRunLayout::StereoRect()
{
    return CRect(kCreateOffset, kCreateOffset, kCreateOffset + kCreateSize, kCreateOffset + kCreateSize);
}
