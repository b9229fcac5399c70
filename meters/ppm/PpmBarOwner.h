#pragma once
// What a bar needs of the control it belongs to: the control's own drawing
// context and the choice of the readout font. UI thread only.
class CDrawContext;

class IPpmBarOwner {
public:
    virtual ~IPpmBarOwner() = default;
    virtual CDrawContext& BarDc() = 0;
    // Selects the readout font for the control's current size into `dc`.
    virtual void SelectReadoutFont(CDrawContext& dc) = 0;
};
