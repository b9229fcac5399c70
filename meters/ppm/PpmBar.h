#pragma once
// One channel's bar of the peak programme meter as drawn: the part of the
// level already painted, the peak marker (a pixel position) and the readout
// of the channel's maximum. What it shows comes from the channel's model
// (CPpmChannel: level, raised flag, maximum in scale steps). It paints into
// its owner's drawing context: a rise paints the strip from the end last
// painted to the new end in the three zone colours (from the bar's start
// after a clear, or when the zones, colours or geometry changed since), a
// fall blackens only what fell.
//
// The display fields are public in the manner of a record: the control
// resets them directly (markers to none, last drawn to 0) before a repaint.
//
// UI thread only.
#include "meters/ppm/PpmChannel.h"
#include "platform/ColorRef.h"
#include "platform/Rect.h"

#include <QString>

struct BarParams;

class CPpmBar {
public:
    // Shows `channel` (the bar's own when null, for a bar on its own).
    CPpmBar(const CRect& rc, BarParams* params, CPpmChannel* channel = nullptr);
    ~CPpmBar();
    CPpmBar(const CPpmBar&) = delete;
    CPpmBar& operator=(const CPpmBar&) = delete;

    // Paints the bar up to the channel's level (above what is already
    // painted), raises the peak marker when the end passes it, and reprints
    // the readout when the marker moved or the maximum changed.
    void Draw();
    // Blackens what the channel's level fell by, then the peak marker line.
    void ShowFall();
    // One fall of the peak marker towards the bar's end.
    void PeakFall();
    // Paints the whole bar rectangle black (the next rise paints from the start).
    void Clear();
    // Paints the marker line black.
    void ErasePeak();
    // Prints the maximum in the readout rectangle, unless it shows that
    // text in that colour already.
    void DrawReadout();

    // Markers to none (no marker yet); the readout is printed afresh next.
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

    CPpmChannel& Channel() { return *m_pChannel; }
    const CPpmChannel& Channel() const { return *m_pChannel; }
    unsigned Level() const { return m_pChannel->level; }
    unsigned MaxLevel() const { return m_pChannel->maxLevel; }
    bool IsRaised() const { return m_pChannel->raised; }

    unsigned m_nLastDrawn = 0;
    int m_nPeakY;
    int m_nPeakX;
    COLORREF m_crPeak = RGB(0, 0, 0);
    CRect m_rcBar;
    CRect m_rcReadout;

private:
    bool Horizontal() const;
    int Length() const;
    void Fill(const CRect& rc, COLORREF color);
    void DrawPeakLine();

    // What the bar's painted part was painted with: a rise with anything
    // else repaints from the start.
    struct PaintedWith {
        CRect bar;
        unsigned steps = 0, tweenPoint = 0, overPoint = 0;
        int horizontal = 0;
        COLORREF norm = 0, tween = 0, over = 0;
        bool operator==(const PaintedWith&) const = default;
    };
    PaintedWith CurrentPaint() const;
    // Where the strip of a rise starts: the end last painted, or the bar's start.
    int RiseStart();

    BarParams* m_pParams;
    CPpmChannel m_ownChannel;
    CPpmChannel* m_pChannel;
    // The maximum the readout shows; a new maximum reprints it.
    unsigned m_nShownMax = 0;
    // The part up to EndOf(m_nLastDrawn) holds the zone colours of m_painted.
    bool m_bPainted = false;
    PaintedWith m_painted;
    // The readout's text and colour as printed, valid while m_bReadoutShown.
    bool m_bReadoutShown = false;
    QString m_strReadout;
    COLORREF m_crReadout = 0;
};
