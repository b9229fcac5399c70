#pragma once
// The loudness meter's named values: command ids, target presets, scales,
// colours, layout sizes and the view's settings entries. Plain constants,
// any thread.
#include "platform/ColorRef.h"

#include <array>
#include <cstdint>

namespace lud {

// Context-menu commands handled by the control.
constexpr int ID_ON = 500;
constexpr int ID_PRESET_FIRST = 510; // one id per preset, in kPresets order
constexpr int ID_SCALE_FIRST = 520;  // EBU +9, EBU +18
constexpr int ID_UNIT_LUFS = 530;
constexpr int ID_UNIT_LU = 531;
constexpr int ID_RESET_INTEGRATION = 540;

// The command the control sends to its view to switch the meter on or off.
constexpr int ID_VIEW_ON_OFF = 32850; // "Loudness On/Off"

// Delivery targets: programme loudness and the true-peak limit.
struct Target {
    const char* name;
    double loudness; // LUFS
    double truePeakLimit; // dBTP
};
constexpr std::array<Target, 4> kPresets = { {
    { "EBU R 128 (-23 LUFS, -1 dBTP)", -23.0, -1.0 },
    { "ATSC A/85 (-24 LKFS, -2 dBTP)", -24.0, -2.0 },
    { "Streaming (-14 LUFS, -1 dBTP)", -14.0, -1.0 },
    { "Streaming (-16 LUFS, -1 dBTP)", -16.0, -1.0 },
} };

// Bar scales in LU around the target: bottom and top.
struct Scale {
    const char* name;
    int bottomLu;
    int topLu;
    int labelStepLu;
};
constexpr std::array<Scale, 2> kScales = { {
    { "EBU +9", -18, 9, 3 },
    { "EBU +18", -36, 18, 6 },
} };

enum Unit : int { kUnitLufs = 0, kUnitLu = 1 };

// Colours.
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBelowTargetColor = RGB(0, 192, 0);
constexpr COLORREF kAboveTargetColor = RGB(255, 255, 0);
constexpr COLORREF kOverColor = RGB(255, 0, 0);
constexpr COLORREF kTargetMarkColor = RGB(255, 255, 255);
constexpr COLORREF kTickColor = RGB(128, 128, 128);
constexpr COLORREF kScaleTextColor = RGB(192, 192, 255);
constexpr COLORREF kReadoutColor = RGB(0, 255, 255);
constexpr COLORREF kViewEraseColor = RGB(96, 96, 96);

// Layout (pixels).
constexpr int kMargin = 6;
constexpr int kBarWidth = 18;
constexpr int kBarGap = 6;
constexpr int kScaleColumn = 28;
constexpr int kReadoutRows = 6; // M, S, I, LRA, TP L, TP R
constexpr int kReadoutRowPad = 2;
constexpr int kTargetMarkOverhang = 3;

// The control's child window id and its creation rectangle.
constexpr int kCtrlId = 4715;
constexpr int kCreateWidth = 220;
constexpr int kCreateHeight = 360;
// View: default frame size and minimum tracking size.
constexpr int kFrameWidth = 240;
// Short enough that the whole meter shows in a first-run main window at the
// position the window area gives a fifth window.
constexpr int kFrameHeight = 360;
constexpr int kMinTrackWidth = 200;
constexpr int kMinTrackHeight = 300;

// Settings store: section, entries and first-run defaults.
constexpr const char* kSection = "LUD";
constexpr const char* kPlacementEntry = "LUD";
constexpr const char* kEntryStatus = "Status";
constexpr const char* kEntryPreset = "Preset";
constexpr const char* kEntryScale = "Scale";
constexpr const char* kEntryUnit = "Unit";
constexpr int kDefaultStatus = 0;
constexpr int kDefaultPreset = 0;
constexpr int kDefaultScale = 0;
constexpr int kDefaultUnit = kUnitLufs;

} // namespace lud
