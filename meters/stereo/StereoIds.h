#pragma once
// The stereo meter's named values: command ids, colours, sizes, settings
// keys, and the rules that turn a stored option into one the control can
// use. Plain constants, any thread.
#include "platform/ColorRef.h"

// Context-menu commands of the control.
constexpr int ID_STM_COUNT_256 = 500;
constexpr int ID_STM_COUNT_512 = 510;
constexpr int ID_STM_COUNT_1024 = 520;
constexpr int ID_STM_THICK = 530;
constexpr int ID_STM_ON = 540;
constexpr int ID_STM_EVERY = 550;
constexpr int ID_STM_EVERY_2 = 551;
constexpr int ID_STM_EVERY_4 = 552;
constexpr int ID_STM_COLORS = 553;
constexpr int ID_STM_FIRST = 500;
constexpr int ID_STM_LAST = 553;

// Sent by the control's "On" item to its view: switch the meter on or off.
constexpr int ID_STEREO_ON_OFF = 32791;

// Child window id of the control inside its view.
constexpr int kStereoCtrlId = 4712;

// The control as the view first creates it: a square at (1, 1).
constexpr int kCreateOffset = 1;
constexpr int kCreateSize = 200;

// The point ring: 1024 slots, of which 256, 512 or 1024 are in use.
constexpr int kRingSlots = 1024;
constexpr int kDefaultPointCount = 512;

// Point squares: 2 (thick) or 1 pixel.
constexpr int kThickPointSize = 2;
constexpr int kThinPointSize = 1;

// Sample step modes: every frame, every 2nd, every 4th.
constexpr int kStepEvery = 0;
constexpr int kStepEvery2 = 1;
constexpr int kStepEvery4 = 2;

// Rotation of the X/Y picture: a little short of pi/4 (its sine falls just
// below its cosine); both are 0.70710678 to eight places.
constexpr double kRotationAngle = 0.785398163375;
// Pixels per full-scale sample before rotation, as a share of the span.
constexpr double kRadiusPerSpan = 0.45454545454545453; // 5/11
constexpr double kFullScale = 32768.0;

// Raster: the diagonals end 20 pixels inside the client rectangle.
constexpr int kRasterInset = 20;
// Label boxes along the top edge: "L" at the left, "R" at the right, "M"
// centred; each text starts a few pixels into its box.
constexpr int kLabelHeight = 13;
constexpr int kSideLabelWidth = 18;
constexpr int kSideLabelTextOffset = 5;
constexpr int kRightLabelTextOffset = 13;
constexpr int kMidLabelHalfWidth = 9;
constexpr int kMidLabelTextOffset = 4;

// Colours.
constexpr COLORREF kRasterColor = RGB(128, 128, 128);
constexpr COLORREF kLabelColor = RGB(192, 192, 255);
constexpr COLORREF kGroundColor = RGB(0, 0, 0);
constexpr COLORREF kDefaultPointColor = RGB(255, 255, 0);
// The margin the view shows around the square control.
constexpr COLORREF kStereoMarginColor = RGB(32, 32, 32);

// Minimum tracking size of the window: a square client at 180 pixels.
constexpr int kMinTrackSide = 180;

// Settings store.
constexpr const char* kStereoSection = "STM";
constexpr const char* kEntryStatus = "Status";
constexpr const char* kEntryPtSize = "PtSize";
constexpr const char* kEntryPtCount = "PtCount";
constexpr const char* kEntryRaster = "Raster";
constexpr const char* kEntryColor = "Color";
constexpr const char* kPlacementEntry = "Stereo-Meter";

// Workspace record parameters of the stereo meter.
constexpr int kParamOn = 1;
constexpr int kParamPointSize = 2;
constexpr int kParamPointCount = 3;
constexpr int kParamWasActive = 4;
constexpr int kParamStep = 5;

// A stored point count is one the menu offers, or the default: anything
// else could overrun the ring or leave it idle.
constexpr int ValidPointCount(int count)
{
    return count == 256 || count == 512 || count == 1024 ? count : kDefaultPointCount;
}
// A stored point size is 1 or 2, or the thick default.
constexpr int ValidPointSize(int size)
{
    return size == kThinPointSize || size == kThickPointSize ? size : kThickPointSize;
}
// A stored sample step mode is 0..2, or "Every".
constexpr int ValidStepMode(int mode)
{
    return mode >= kStepEvery && mode <= kStepEvery4 ? mode : kStepEvery;
}
