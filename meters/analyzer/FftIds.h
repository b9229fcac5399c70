#pragma once
// The spectrum analyzer's fixed numbers: command ids, the tick timer id,
// sizes, margins, colours and defaults. Any thread (constants only).
#include "platform/ColorRef.h"

#include <cstdint>

namespace fft {

// Transform and display sizes.
constexpr int kFftSize = 2048;           // points per transform
constexpr int kWindowFrames = 1024;      // frames per analysis window
constexpr int kMaxBars = 128;            // display positions
constexpr int kLevelCount = 361;         // level indices 0..360
constexpr int kTopLevel = 360;           // 0 dB
constexpr int kLevelTableSize = 32768;   // linear amplitudes 0..32767
constexpr unsigned kNoPeak = 32768;      // peak position before any peak

// Input modes.
constexpr int kInputLeftPlusRight = 0;
constexpr int kInputLeft = 1;
constexpr int kInputRight = 2;
constexpr int kInputLeftMinusRight = 3;
constexpr int kInputModeCount = 4;
constexpr int kDefaultInputMode = kInputLeftPlusRight;

// Window functions.
constexpr int kWindowRectangular = 0;
constexpr int kWindowParzen = 1;
constexpr int kWindowHanning = 2;
constexpr int kWindowBlackman = 3;
constexpr int kWindowGaussian = 4;
constexpr int kWindowWelch = 5;
constexpr int kWindowHamming = 6;
constexpr int kWindowTypeCount = 7;
constexpr int kDefaultWindowType = kWindowBlackman;

// Decay times (tick accumulator units; the accumulator counts 10 per tick).
constexpr int kDecayFast = 10;
constexpr int kDecayMedium = 20;
constexpr int kDecaySlow = 30;
// The decay menu's choices in order.
inline constexpr int kDecayTimes[3] = { kDecayFast, kDecayMedium, kDecaySlow };
constexpr int kTickUnits = 10;
constexpr int kPeakFallUnits = 60;       // peak markers fall every sixth tick

// Level thresholds for the colour zones.
constexpr unsigned kDefaultTweenPoint = 260; // -20 dB
constexpr unsigned kDefaultOverPoint = 310;  // -10 dB

// Sample rates.
constexpr int kRate44100 = 44100;
constexpr int kRate48000 = 48000;

// Context menu commands.
constexpr int ID_FFT_DECAY_FAST = 400;
constexpr int ID_FFT_DECAY_MEDIUM = 410;
constexpr int ID_FFT_DECAY_SLOW = 420;
constexpr int ID_FFT_PEAK_HOLD = 430;
constexpr int ID_FFT_PEAK_DECAY = 440;
constexpr int ID_FFT_ON = 450;
constexpr int ID_FFT_WINDOW_FIRST = 460; // 460..466: window types 0..6
constexpr int ID_FFT_INPUT_FIRST = 470;  // 470..473: input modes 0..3
constexpr int ID_FFT_COLORS = 474;
constexpr int ID_FFT_FIRST = 400;
constexpr int ID_FFT_LAST = 474;

// The view's analyzer on/off command, sent by the control's "On" item.
constexpr int ID_ANALYZER_ONOFF = 32781;
// The colour dialog template.
constexpr int IDD_ANALYZER_COLORS = 146;
// The control's child id within its view.
constexpr int IDC_FFT_CTRL = 4714;

// The meter tick, relayed by the PPM control.
constexpr int kTickTimerId = 1;

// Layout.
constexpr int kTopMargin = 16;
constexpr int kSideMargin = 30;
constexpr int kSmallFontBelowHeight = 250;
constexpr int kScaleInset = 24;          // tick lines end this far from the sides

// Creation as the view asks for it.
constexpr int kCreateX = 1;
constexpr int kCreateY = 1;
constexpr int kCreateWidth = 500;
constexpr int kCreateHeight = 250;

// Colours.
constexpr COLORREF kColorBlack = RGB(0, 0, 0);
constexpr COLORREF kColorScale = RGB(128, 128, 128);
constexpr COLORREF kColorScaleText = RGB(192, 192, 255);
constexpr COLORREF kColorLabelLine = RGB(64, 0, 0);
constexpr COLORREF kColorViewBackground = RGB(96, 96, 96);
constexpr COLORREF kDefaultNormColor = RGB(0, 192, 192);
constexpr COLORREF kDefaultTweenColor = RGB(255, 255, 0);
constexpr COLORREF kDefaultOverColor = RGB(255, 0, 0);

// The view's minimum tracking size: 464 x (216 - small caption height).
constexpr int kMinTrackWidth = 464;
constexpr int kMinTrackHeightWithCaption = 216;
constexpr int kSmallCaptionHeight = 17;

} // namespace fft
