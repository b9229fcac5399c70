#pragma once
// Where a sample pair lands in the stereo picture: the picture's centre and
// scale, computed from the control's client rectangle, and the rotation by
// (a little less than) 45 degrees that puts mono on the vertical, the left
// channel alone on the upper-left diagonal and the right channel alone on
// the upper-right one. Plain C++, no widgets; any thread that owns it.
#include "meters/stereo/StereoPoint.h"
#include "platform/Rect.h"

class CStereoGeometry {
public:
    CStereoGeometry();

    // Centre and scale from the client rectangle. Only the width enters the
    // scale; the view keeps the control square.
    void CalcGeometry(const CRect& rcClient);

    // The top-left corner of the square for one sample pair. Each channel is
    // reduced to whole pixels before the rotation, and so is each rotated
    // coordinate (truncation toward zero throughout).
    StereoPoint Map(int left, int right) const;

    const CRect& ClientRect() const { return m_rcClient; }
    StereoPoint Centre() const { return m_ptCentre; }
    int Span() const { return m_nSpan; }
    double Radius() const { return m_dRadius; }
    double Sin() const { return m_dSin; }
    double Cos() const { return m_dCos; }

private:
    static constexpr int kInitialSpan = 200;

    CRect m_rcClient;
    int m_nSpan = kInitialSpan;
    StereoPoint m_ptCentre;
    double m_dSin;
    double m_dCos;
    double m_dRadius;
    // Samples per pixel, kFullScale / m_dRadius, kept with the radius.
    double m_dSamplesPerPixel = 0.0;
};
