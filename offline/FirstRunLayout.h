#pragma once
// Where each instrument's display control sits on a first run of the live
// program, in its view: the PPM and the correlation meter fill the client
// area of the frame size their views give a first run (vertical, 110 x 320
// and 110 x 150); the analyzer and the stereo meter, whose views give their
// frames no size, keep the frame's default size (200 x 150) grown to the
// view's minimum tracking size - the analyzer fills that client area, the
// stereo meter is the largest square centred in it.
//
// UI thread only (it asks Qt's style for the instrument frame's margins).
#include "platform/Rect.h"

#include <QMargins>
#include <QSize>

class CFirstRunLayout {
public:
    static CRect PpmRect();
    static CRect CorRect();
    static CRect FftRect();
    static CRect StereoRect();

    // The client area of an instrument frame of `frame` outer size.
    static QSize ViewClientOf(const QSize& frame);

private:
    // The main window's default instrument frame, no smaller than `minTrack`.
    static QSize DefaultFrameAtLeast(const QSize& minTrack);
    // The border and caption of an instrument frame, as the style draws it.
    static QMargins FrameMargins();
};
