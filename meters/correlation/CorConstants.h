#pragma once
// The correlation meter's fixed values: ids, timings, colours and layout
// margins. Any thread (compile-time constants only).
#include "platform/ColorRef.h"

#include <cstdint>

namespace cor {

// Context-menu items of the control and the commands they send to the view.
constexpr int ID_COR_ON = 400;
constexpr int ID_COR_HORIZONTAL = 410;
constexpr int ID_METER_ONOFF = 32772;
constexpr int ID_ORIENTATION = 200;

// The control's child window id inside the view.
constexpr int kCtrlId = 4713;

// The watchdog: every drawn update re-arms it; when it runs out the pointer
// falls back to the centre.
constexpr int kWatchdogTimerId = 22;
constexpr int kWatchdogMs = 200;

// Scale units across the track: -200..+200 inclusive.
constexpr int kRange = 401;
constexpr int kMaxPos = 200;
constexpr int kTickCount = 21;
constexpr int kTickStep = 20;
constexpr int kLabelEvery = 5;
// Length of the tick marks beyond each side of the track.
constexpr int kTickOverhang = 6;

// Margins of the track inside the client area.
constexpr int kEndMargin = 16;
constexpr int kSideMargin = 27;
// Tracks shorter than this take the small scale font.
constexpr int kSmallFontBelow = 80;

// The pointer is a strip this many pixels across, centred on its position.
constexpr int kPointerWidth = 7;
constexpr int kPointerHalf = 3;

constexpr COLORREF kColorZero = RGB(255, 255, 0);
constexpr COLORREF kColorPositive = RGB(0, 255, 0);
constexpr COLORREF kColorNegative = RGB(255, 0, 0);
constexpr COLORREF kColorTick = RGB(128, 128, 128);
constexpr COLORREF kColorScaleText = RGB(192, 192, 255);
constexpr COLORREF kColorReadout = RGB(0, 255, 255);
constexpr COLORREF kColorBackground = RGB(0, 0, 0);

// An angle of exactly this many degrees (uncorrelated) moves neither readout.
constexpr int kRightAngle = 90;
// Readout values that mean "nothing seen since the last clear".
constexpr int kNoMinAngle = 180;
constexpr int kNoMaxAngle = 0;

// The view: its settings, default frame sizes and minimum tracking sizes.
constexpr const char* kSection = "COR";
constexpr const char* kEntryStatus = "Status";
constexpr const char* kEntryDir = "Dir";
constexpr const char* kPlacementEntry = "Correlation";
constexpr int kDefaultStatus = 0;
constexpr int kDefaultDir = 1;

constexpr int kVerticalWidth = 110;
constexpr int kVerticalHeight = 150;
constexpr int kHorizontalWidth = 124;
constexpr int kHorizontalHeight = 105;
constexpr int kMinVerticalWidth = 84;
constexpr int kMinVerticalHeight = 120;
constexpr int kMinHorizontalWidth = 106;
constexpr int kMinHorizontalHeight = 96;

// Where the view first creates its control, before the first size.
constexpr int kCreateX = 1;
constexpr int kCreateY = 1;
constexpr int kCreateWidth = 80;
constexpr int kCreateHeight = 390;

// Workspace record parameter positions.
constexpr int kParamHorizontal = 0;
constexpr int kParamOn = 1;
constexpr int kParamActive = 2;

} // namespace cor
