#include "offline/FirstRunLayout.h"

#include "meters/analyzer/FftIds.h"
#include "meters/correlation/CorConstants.h"
#include "meters/ppm/PpmIds.h"
#include "meters/stereo/StereoIds.h"
#include "shell/ShellIds.h"

#include <QApplication>
#include <QStyle>

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

QSize CFirstRunLayout::DefaultFrameAtLeast(const QSize& minTrack)
{
    return QSize(ShellIds::kDefaultChildWidth, ShellIds::kDefaultChildHeight).expandedTo(minTrack);
}

CRect CFirstRunLayout::FftRect()
{
    const QSize minTrack(fft::kMinTrackWidth, fft::kMinTrackHeightWithCaption - fft::kSmallCaptionHeight);
    return FillingView(ViewClientOf(DefaultFrameAtLeast(minTrack)));
}

CRect CFirstRunLayout::StereoRect()
{
    // The stereo view's smallest client is square: its minimum width is
    // less the caption's height.
    const int caption = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize client = ViewClientOf(DefaultFrameAtLeast(QSize(kMinTrackSide - caption, kMinTrackSide)));
    // The view keeps its control the largest centred square.
    const int side = std::min(client.width(), client.height());
    const int left = (client.width() - side) / 2;
    const int top = (client.height() - side) / 2;
    return CRect(left, top, left + side, top + side);
}
