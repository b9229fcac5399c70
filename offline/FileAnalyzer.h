#pragma once
// Runs one sound file through the live program's capture-side work and
// instruments, unpaced: the file is streamed in 512-frame blocks (16-bit
// stereo, a mono channel on both sides, as the file input device reads it),
// each block placed in turn in a 32-buffer sample area as the capture ring
// places it and handed to the hub's ProcessBlock; the hub's packets are
// applied to the instruments' models after every block, with the meter
// ticks the PPM relays to the analyzer. No widget and no event loop takes
// part; with a snapshot folder the display controls are made at the end and
// draw the final state once. Each file gets a fresh hub, fresh models and
// its own program-wide state. Time and memory are linear in the file's
// length and constant respectively (the timeline, when asked for, grows).
//
// One thread per analyzer (a QCoreApplication must exist for the hub's
// wake-up; a QApplication for snapshots, on its thread); the hub's
// capture-side work runs on it too, in block order. Analyzers on several
// threads share nothing but `transformLock`: the analyzer's transform
// library makes and frees its plans through tables of its own, so plans
// are made and freed one at a time under that lock (running them is safe).
#include "offline/AnalyzeOptions.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <mutex>

class CFileAnalyzer {
public:
    enum class Outcome { Analysed, Unreadable, SnapshotFailed };

    explicit CFileAnalyzer(const CAnalyzeOptions& options, std::mutex* transformLock = nullptr)
        : m_options(options), m_pTransformLock(transformLock)
    {
    }

    // Analyses `path` into `result`; with a non-empty `snapshotFolder` also
    // saves the instruments' pictures there. `error` says what went wrong
    // when the outcome is not Analysed (a failed snapshot still leaves the
    // result).
    Outcome Analyze(const QString& path, const QString& snapshotFolder, QJsonObject& result, QString& error);

private:
    const CAnalyzeOptions& m_options;
    std::mutex* m_pTransformLock;
};
