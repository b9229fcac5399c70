#pragma once
// Named constants of the workspace subsystem: the command ids the workspace
// commands serve, the workspace file's name and the default workspaces.
#include <QString>

// F5 .. F12 recall workspaces 0 .. 7.
constexpr int ID_WSP_RECALL_FIRST = 32793;
constexpr int ID_WSP_RECALL_LAST = 32800;
// Shift+F5 .. Shift+F12 store workspaces 0 .. 7.
constexpr int ID_WSP_STORE_FIRST = 32816;
constexpr int ID_WSP_STORE_LAST = 32823;
// Device menu: "WaveMapper" (the system's default device) and one item per
// input device, device id = command id - ID_DEVICE_FIRST.
constexpr int ID_DEVICE_WAVEMAPPER = 32829;
constexpr int ID_DEVICE_FIRST = 10000;
constexpr int ID_DEVICE_LAST = 10020;
// Sample Rate menu: "44100Hz" and "48000Hz".
constexpr int ID_RATE_44100 = 32837;
constexpr int ID_RATE_48000 = 32838;

// The device id of the system's default device ("WaveMapper").
constexpr int kWaveMapperDeviceId = -1;
constexpr int kRate44100 = 44100;
constexpr int kRate48000 = 48000;

// The workspace file, opened by its bare name in the current folder.
inline const QString kWorkspaceFileName = QStringLiteral("cv.wsp");
// A missing file gives this many workspaces, named "Workspace 1" and so on.
constexpr int kDefaultWorkspaceCount = 8;
constexpr const char* kDefaultWorkspaceNameFormat = "Workspace %d";
