#pragma once
// What the program's start-up needs of the audio layer: registering the
// drivers the command line asks for, and the device list printed by
// `lumetra --list-devices`. UI thread only; call after the QApplication
// exists when notices may be shown.
#include <QString>

struct AudioDriverRegistration {
    // Device id of "Demo: Music mix" when the demo devices were added, else -1.
    int demoDevice = -1;
    // Device id of the input file's device when it was added, else -1.
    int fileDevice = -1;
    // Why the input file gives no device (empty when it does or none was asked for).
    QString problem;
};

// Replaces the facade's drivers with PortAudio's real devices, then the demo
// devices when `demo` is set, then a device for `inputFile` when it is not
// empty, in that order (so the real devices keep their ids). A missing or
// unreadable file gives no device and a notice (caption "Recorder"), shown
// through CNotices when `showNotice` is set and returned in `problem` always.
AudioDriverRegistration RegisterAudioDrivers(bool demo, const QString& inputFile, bool showNotice = true);

// One line per device, "<id>: <name>", the default device first as -1:
//     -1: Default (ALSA: default)
//     0: ALSA: default
// or "No input device found!" when there is none.
QString ListDevicesText();
