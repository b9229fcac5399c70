#pragma once
// Keeps Qt's start-up chatter about the session's runtime folder
// (XDG_RUNTIME_DIR unset or not ours, common under cron, ssh and batch
// schedulers) off standard error, so that stream carries only the
// program's own lines. Every other Qt message goes through as Qt would
// print it.
//
// Install() on the main thread before the QApplication is made; the
// handler itself may run on any thread and holds no state.
#include <QString>

class CQtNoiseFilter {
public:
    static void Install();
    // True for the messages the filter drops.
    static bool IsNoise(const QString& message);
};
