#pragma once
// One analyzer bar as drawn: its rectangle, the level painted so far and a
// one-pixel peak marker, in three colour zones (normal up to the tween
// point, tween up to the over point, over above). Its level comes from the
// analyzer's model (CFftBarState). Painting is incremental: a rise paints
// from the new top to the bottom, a fall blackens only the strip above the
// new top.
//
// UI thread only (the hub applies the capture thread's values there).
#include "meters/analyzer/FftBarParams.h"
#include "meters/analyzer/FftBarState.h"
#include "platform/Rect.h"

class CFftBar {
public:
    // Shows `state` (the bar's own when null, for a bar on its own).
    CFftBar(FftBarParams* params, const CRect& rc, CFftBarState* state = nullptr);
    virtual ~CFftBar() = default;

    // Value input with a level index: a rise takes effect and paints at
    // once; a lower level only clears the raised flag.
    void Input(unsigned level);
    // The tick's fall for this bar: 0 while the latest input reached the
    // value, else 2 above level 10 and 1 below.
    int DecayStep() const;

    void Draw();
    void Decay(int step);
    void PeakFall();
    void Clear();
    void ErasePeak();
    // Drawn value 0 and no peak, cleared and redrawn; with `clearLevel` the
    // value drops to 0 first.
    void Reset(bool clearLevel);

    // The client row of a level's top: bottom - trunc(height / (361 / level)).
    int LevelY(unsigned level) const;

    void SetRect(const CRect& rc) { m_rcBar = rc; }
    const CRect& Rect() const { return m_rcBar; }
    unsigned Level() const { return m_pState->level; }
    void SetLevel(unsigned level) { m_pState->level = level; }
    unsigned LastDrawn() const { return m_nLastDrawn; }
    void SetLastDrawn(unsigned level) { m_nLastDrawn = level; }
    unsigned PeakY() const { return m_nPeakY; }
    void SetPeakY(unsigned y) { m_nPeakY = y; }
    COLORREF PeakColor() const { return m_crPeak; }
    bool IsRaised() const { return m_pState->raised; }

private:
    // The row where a zone begins; the zone ratios are single precision, and
    // so is the division, which keeps a value at the tween point wholly in
    // the normal colour.
    int ZoneY(unsigned point) const;
    void FillRows(int top, int bottom, COLORREF color);
    bool PeakShown() const;

    unsigned m_nPeakY = fft::kNoPeak;
    COLORREF m_crPeak = 0;
    FftBarParams* m_pParams;
    CRect m_rcBar;
    CFftBarState m_own;
    CFftBarState* m_pState;
    unsigned m_nLastDrawn = 0;
};
