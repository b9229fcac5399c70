#pragma once
// One channel's bar of the peak programme meter: its level on the 361-step
// scale, the part of it already painted, the peak marker and the highest
// level reached (the readout). It paints into its owner's drawing context:
// a rise paints from the bar's start to the new end in the three zone
// colours, a fall blackens only what fell.
//
// The fields are public in the manner of a record: the control resets them
// directly (markers to none, last drawn to 0) before a repaint.
//
// UI thread only.
#include "platform/ColorRef.h"
#include "platform/Rect.h"

#include <QString>

struct BarParams;

class CPpmBar {
public:
    CPpmBar(const CRect& rc, BarParams* params);
    ~CPpmBar();
    CPpmBar(const CPpmBar&) = delete;
    CPpmBar& operator=(const CPpmBar&) = delete;

    // Paints the bar up to m_nLevel (above what is already painted), raises
    // the peak marker and the maximum and reprints the readout when the end
    // passes the marker.
    void Draw();
    // One fall of `step` scale steps, then the peak marker line.
    void Decay(unsigned step);
    // One fall of the peak marker towards the bar's end.
    void PeakFall();
    // Paints the whole bar rectangle black.
    void Clear();
    // Paints the marker line black.
    void ErasePeak();
    // Prints the maximum in the readout rectangle.
    void DrawReadout();

    // Markers to none (no marker yet).
    void ResetMarker();
    // The pixel position of a step's end along the bar: a row for vertical
    // bars (from the bottom up), a column for horizontal ones (from the left).
    int EndOf(unsigned step) const;
    // The marker's position along the bar.
    int PeakPos() const;
    // Pixels the marker falls per PeakFall: the bar length / 361, at least 1.
    int PeakStep() const;
    // The readout's text: the maximum's dB value "%2.1f", "0" at full
    // scale, empty below step 1.
    QString ReadoutText() const;

    unsigned m_nLevel = 0;
    unsigned m_nLastDrawn = 0;
    int m_bRaised = 0;
    int m_nPeakY;
    int m_nPeakX;
    COLORREF m_crPeak = RGB(0, 0, 0);
    int m_nMaxLevel = 0;
    CRect m_rcBar;
    CRect m_rcReadout;

private:
    bool Horizontal() const;
    int Length() const;
    void Fill(const CRect& rc, COLORREF color);
    void DrawPeakLine();

    BarParams* m_pParams;
};
