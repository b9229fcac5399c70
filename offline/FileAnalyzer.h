#pragma once
// Runs one sound file through the live program's capture-side work and
// instruments, unpaced: the file is streamed in 512-frame blocks (16-bit
// stereo, a mono channel on both sides, as the file input device reads it),
// each block placed in turn in a 32-buffer sample area as the capture ring
// places it and handed to the hub's ProcessBlock; the hub's packets are
// applied after every block, with the meter ticks the PPM relays to the
// analyzer. Each file gets a fresh hub and fresh instruments. Memory does
// not grow with the file's length (the timeline, when asked for, does).
//
// UI thread only (the instruments are widgets); the hub's capture-side work
// runs on this thread too, in block order.
#include "offline/AnalyzeOptions.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

class CFileAnalyzer {
public:
    enum class Outcome { Analysed, Unreadable, SnapshotFailed };

    explicit CFileAnalyzer(const CAnalyzeOptions& options) : m_options(options) {}

    // Analyses `path` into `result`; with a non-empty `snapshotFolder` also
    // saves the instruments' pictures there. `error` says what went wrong
    // when the outcome is not Analysed (a failed snapshot still leaves the
    // result).
    Outcome Analyze(const QString& path, const QString& snapshotFolder, QJsonObject& result, QString& error);

private:
    const CAnalyzeOptions& m_options;
};
