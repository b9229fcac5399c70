#pragma once
// The peak programme meter's named values: command ids, colours, margins,
// sizes and the view's settings entries. Plain constants, any thread.
#include "platform/ColorRef.h"

#include <cstdint>

namespace ppm {

// Context-menu commands handled by the control (ids 400..470).
constexpr int ID_DECAY_FAST = 400;
constexpr int ID_DECAY_MEDIUM = 410;
constexpr int ID_DECAY_SLOW = 420;
constexpr int ID_PEAK_HOLD = 430;
constexpr int ID_PEAK_DECAY = 440;
constexpr int ID_ON = 450;
constexpr int ID_HORIZONTAL = 460;
constexpr int ID_COLORS = 470;
constexpr int ID_FIRST_COMMAND = 400;
constexpr int ID_LAST_COMMAND = 470;
// "Ballistics" submenu: one id per mode, in the modes' order.
constexpr int ID_BALLISTICS_FIRST = 480;
constexpr int ID_BALLISTICS_LAST = ID_BALLISTICS_FIRST + 5;

// Commands the control sends to its view.
constexpr int ID_VIEW_ON_OFF = 32771; // "PPM On/Off"
constexpr int ID_VIEW_ORIENTATION = 201;

// The control's child window id and the meter clock's timer id.
constexpr int kCtrlId = 4711;
constexpr int kTickTimerId = 1;
// The creation rectangle the view passes; the first layout replaces it.
constexpr int kCreateX = 0;
constexpr int kCreateY = 0;
constexpr int kCreateWidth = 150;
constexpr int kCreateHeight = 400;
constexpr unsigned kBarCount = 2;
// Bars are held by pointer in a table of this size.
constexpr unsigned kMaxBars = 255;

// Scale steps: 0..360, step 360 being 0.0 dB; the level table has one
// entry per folded 16-bit magnitude.
constexpr unsigned kSteps = 361;
constexpr unsigned kTopStep = kSteps - 1;
constexpr unsigned kTableSize = 32768;

// Decay times (accumulator units, 10 per tick) and their indices.
constexpr unsigned kDecayFast = 10;
constexpr unsigned kDecayMedium = 20;
constexpr unsigned kDecaySlow = 30;
constexpr unsigned kTickUnits = 10;
// The peak marker falls once its accumulator reaches this many units.
constexpr unsigned kPeakFallUnits = 20;
// Above this level a fall takes two steps, at and below it one.
constexpr unsigned kFastFallAbove = 10;

// Peak marker "none yet": a row below every vertical bar, column 0.
constexpr int kNoPeakY = 32768;
constexpr int kNoPeakX = 0;

// Zone defaults (scale steps): tween from -6 dB, over from -1 dB.
constexpr unsigned kDefaultTweenPoint = 300;
constexpr unsigned kDefaultOverPoint = 350;

// Colours.
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kDefaultNormColor = RGB(0, 192, 0);   // 49152
constexpr COLORREF kDefaultTweenColor = RGB(255, 255, 0); // 65535
constexpr COLORREF kDefaultOverColor = RGB(255, 0, 0);    // 255
constexpr COLORREF kTickColor = RGB(128, 128, 128);
constexpr COLORREF kScaleTextColor = RGB(192, 192, 255);
constexpr COLORREF kReadoutColor = RGB(0, 255, 255);
constexpr COLORREF kViewEraseColor = RGB(96, 96, 96);

// Layout margins (pixels).
constexpr int kEndMargin = 16;
constexpr int kSideMargin = 30;
// Vertical bars start this far below the client top (end margin + 4).
constexpr int kBarTopOffset = kEndMargin + 4;
// Horizontal bars end this far left of the client right (end margin + 14).
constexpr int kBarRightOffset = kEndMargin + 14;
// The layout font is the normal one from this client height (vertical) or
// width (horizontal) up, the small one below.
constexpr int kNormalFontMinHeight = 250;
constexpr int kNormalFontMinWidthHorizontal = 280;
// The vertical readout font is the normal one from this client width up.
constexpr int kNormalReadoutMinWidthVertical = 104;
// Width of the scale columns beside vertical bars, and of the label rows
// above and below horizontal bars.
constexpr int kScaleColumn = 24;

// View: default frame sizes per orientation and minimum tracking sizes.
constexpr int kHorizontalFrameWidth = 300;
constexpr int kHorizontalFrameHeight = 124;
constexpr int kVerticalFrameWidth = 110;
constexpr int kVerticalFrameHeight = 320;
constexpr int kVerticalMinTrackWidth = 100;
constexpr int kVerticalMinTrackHeight = 300;
constexpr int kHorizontalMinTrackWidth = 300;
constexpr int kHorizontalMinTrackHeight = 110;

// Settings store: section, entries and first-run defaults.
constexpr const char* kSection = "PPM";
constexpr const char* kPlacementSection = "WinPos";
constexpr const char* kPlacementEntry = "PPM";
constexpr const char* kEntryStatus = "Status";
constexpr const char* kEntryPeak = "Peak";
constexpr const char* kEntryDecay = "Decay";
constexpr const char* kEntryDir = "Dir";
constexpr const char* kEntryNormColor = "NormColor";
constexpr const char* kEntryTweenColor = "TweenColor";
constexpr const char* kEntryOverColor = "OverColor";
constexpr const char* kEntryOverPoint = "OverPoint";
constexpr const char* kEntryTweenPoint = "TweenPoint";
// The ballistics mode lives in the settings only: the workspace record keeps
// its bytes.
constexpr const char* kEntryBallistics = "Ballistics";
constexpr int kDefaultStatus = 0;
constexpr int kDefaultPeakMode = 1;   // peak hold
constexpr int kDefaultDecayIndex = 1; // Medium
constexpr int kDefaultDir = 1;        // flipped once by the first initial update

// Workspace record parameters.
constexpr int kParamHorizontal = 0;
constexpr int kParamOn = 1;
constexpr int kParamPeakMode = 2;
constexpr int kParamDecayIndex = 3;
constexpr int kParamActive = 4;

} // namespace ppm
