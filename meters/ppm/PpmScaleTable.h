#pragma once
// The meter's 29 scale positions: the step of each tick line, the label
// drawn on the scale beside it (empty: tick only) and the label the colour
// settings dialog offers for it. Every position is the step whose dB value
// is the label's number. Constant data, any thread.
#include <cstdint>

class CPpmScaleTable {
public:
    static constexpr int kCount = 29;
    static constexpr std::uint32_t kSteps[kCount] = { 360, 350, 340, 330, 320, 310, 300, 290, 280, 270, 260, 250, 240,
        230, 220, 210, 200, 190, 180, 170, 160, 135, 110, 85, 60, 40, 20, 10, 3 };
    static constexpr const char* kScaleLabels[kCount] = { "0", "", "", "-3", "", "", "-6", "", "", "", "-10", "", "",
        "", "", "-15", "", "", "", "", "-20", "-25", "-30", "-35", "-40", "-50", "-60", "", "" };
    static constexpr const char* kDialogLabels[kCount] = { "0", "-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9",
        "-10", "-11", "-12", "-13", "-14", "-15", "-16", "-17", "-18", "-19", "-20", "-25", "-30", "-35", "-40", "-50",
        "-60", "", "" };
    // Above horizontal bars the 0 dB label is written with a leading blank.
    static constexpr const char* kHorizontalTopLabel = " 0";
};
