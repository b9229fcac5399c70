#pragma once
// The shell's named values: menu and command ids, accelerator keys, settings
// sections and entries, caption colours and timings. Any thread (constants).
#include "platform/ColorRef.h"
#include "workspace/WorkspaceIds.h"

#include <cstdint>

namespace ShellIds {

// ---- menus (resource numbers) ------------------------------------------------
// Menu 128 is shown while no instrument window exists; the instruments' menus
// carry their template's number.
constexpr int IDR_MAINFRAME = 128;
constexpr int IDD_ABOUTBOX = 100;

// ---- commands ------------------------------------------------------------------
// The workspace, device and sample-rate ids are those of workspace/WorkspaceIds.h.
constexpr int ID_PRIORITY_NORMAL = 32831;
constexpr int ID_PRIORITY_HIGH = 32832;
constexpr int ID_HELP_INDEX = 32835;
constexpr int ID_HOMEPAGE = 32840;
constexpr int ID_DEALER_HOMEPAGE = 32841;
constexpr int ID_ON_TOP = 32842;
constexpr int ID_RESET_DROPOUTS = 32843;
constexpr int ID_WINDOW_ARRANGE = 57649;
constexpr int ID_APP_ABOUT = 57664;
constexpr int kWorkspaceKeys = 8; // F5 .. F12 and Shift+F5 .. Shift+F12

// ---- the Help popup --------------------------------------------------------------
// The "(Homepage)" placeholder stands at this position and is replaced by the
// dealer's homepage at the first activation of each kind of instrument view.
constexpr int kDealerItemPosition = 3;

// ---- program settings ----------------------------------------------------------
constexpr const char* kSectionSettings = "Settings";
constexpr const char* kSectionDealer = "Dealer";
constexpr const char* kEntryPosition = "Position";
constexpr const char* kEntryPriority = "Priority";
constexpr const char* kEntryOnTop = "OnTop";
constexpr const char* kEntryMsgDecay = "MsgDecay";
constexpr const char* kEntrySampleRate = "SampleRate";
constexpr const char* kEntryDevice = "Device";
// The device's name beside its list position: positions shift as devices come and go.
constexpr const char* kEntryDeviceName = "DeviceName";
constexpr const char* kEntryActive = "Active";
constexpr const char* kEntryHomePage = "HomePage";

constexpr int kDefaultPriority = 1; // High
constexpr int kDefaultOnTop = 0;
constexpr int kPostedTickMode = 1;  // written as "MsgDecay"; always 1
constexpr int kDefaultDevice = 0;
constexpr const char* kDefaultActive = "FFT";
constexpr const char* kDefaultDealerHomePage = "www.tarvix.example";
constexpr const char* kNewsPage = "http://www.tarvix.example/lumetra/news.html";
constexpr const char* kDealerScheme = "http://";

// ---- files ---------------------------------------------------------------------
constexpr const char* kHelpFile = "Lumetra.chm";
constexpr const char* kManualResource = ":/help/Lumetra.html";
constexpr const char* kManualFileName = "Lumetra-manual.html";

// ---- texts ---------------------------------------------------------------------
constexpr const char* kAppTitle = "Tarvix Audio Meter";
constexpr const char* kVersionFormat = "Version %d.%d  Build %d  %s";
constexpr const char* kBetaSuffix = "Beta";
constexpr int kBetaStage = 2; // third version part that marks a beta
constexpr const char* kAboutTitle = "Info about Lumetra";
constexpr const char* kRunningOn = "running on : ";
constexpr const char* kMakerLine = "Copyright (C) Tarvix Audio. All rights reserved.";

// ---- main window -----------------------------------------------------------------
constexpr int kDefaultMainWidth = 640;
constexpr int kDefaultMainHeight = 480;
// A top-level window's move or size is done by the window manager, which
// tells us only the resulting geometry changes: the move or size counts as
// ended once the geometry has been still for this long.
constexpr int kSizeMoveSettleMs = 300;
// A new instrument window's size before its view gives it its own.
constexpr int kDefaultChildWidth = 200;
constexpr int kDefaultChildHeight = 150;

// ---- instrument child frame caption ------------------------------------------------
constexpr int kCaptionGradientSpan = 96; // the gradient darkens by this much top to bottom
constexpr COLORREF kCaptionActiveTop = RGB(128, 128, 192);
constexpr COLORREF kCaptionInactiveTop = RGB(96, 96, 96);
constexpr COLORREF kTitleOnColor = RGB(0, 255, 255);
constexpr COLORREF kTitleOffColor = RGB(255, 0, 0);
constexpr const char* kCaptionFace = "Ms Sans Serif";
constexpr int kCaptionFontHeight = 8;
constexpr int kCaptionWeightOn = 700;
constexpr int kCaptionWeightOff = 100;
constexpr int kTitleInset = 2; // text starts and ends this far from its neighbours
// Caption buttons: the base rectangle (3, 2, 16, 13) moved right by the
// caption width less one button cell; the maximise button sits one
// button-step to the left, the minimise button 13 pixels further.
constexpr int kButtonCell = 18;
constexpr int kButtonLeft = 3;
constexpr int kButtonTop = 2;
constexpr int kButtonWidth = 13;
constexpr int kButtonHeight = 11;
constexpr int kMaxButtonStep = 15;
constexpr int kMinButtonStep = 13;

// ---- About box -------------------------------------------------------------------
constexpr int kAboutAnimationFrames = 24;
constexpr int kAboutAnimationFrameMs = 60;
constexpr int kAboutAnimationSize = 64;

} // namespace ShellIds
