#pragma once
// The analysis of one file as the archive run needs it: path in, the file's
// report out. It wraps the file analyzer with what a list from the outside
// world brings: paths as bytes (see CBytePath), a directory named as one, a
// WAVE file that ends before its header says, and a report path escaped
// where it is not valid UTF-8.
//
// Threads: as the file analyzer it wraps. Today that analyzer drives widget
// instruments, so a job runs on the thread that owns the QApplication and
// kThreadSafe is false; when each file's analysis owns plain models only,
// set it true and the runner spreads files over its workers.
#include "offline/AnalyzeOptions.h"
#include "offline/FileReport.h"

#include <functional>

class CFileJob {
public:
    static constexpr bool kThreadSafe = false;

    // `snapshotFolderFor` names the folder a file's pictures go to (empty:
    // none).
    CFileJob(const CAnalyzeOptions& options, std::function<QString(const QString&)> snapshotFolderFor)
        : m_options(options), m_snapshotFolderFor(std::move(snapshotFolderFor))
    {
    }

    CFileReport operator()(const QString& path) const;

    // Adds the note that the file ended early when its header promised
    // more frames than it holds and no note says so yet.
    static void NoteEarlyEnd(const QString& path, QJsonObject& object);

private:
    const CAnalyzeOptions& m_options;
    std::function<QString(const QString&)> m_snapshotFolderFor;
};
