#pragma once
// The analysis of one file as the archive run needs it: path in, the file's
// report out. It wraps the file analyzer with what a list from the outside
// world brings: paths as bytes (see CBytePath), a directory named as one, a
// WAVE file that ends before its header says, and a report path escaped
// where it is not valid UTF-8.
//
// Threads: each call analyses its file with its own models, hub and
// program-wide state, sharing nothing with other calls, so calls may run
// on several worker threads at once (kThreadSafe). Snapshots draw widgets,
// which live on the thread that owns the QApplication: the caller runs
// those jobs there.
#include "offline/AnalyzeOptions.h"
#include "offline/FileReport.h"

#include <functional>
#include <memory>
#include <mutex>

class CFileJob {
public:
    static constexpr bool kThreadSafe = true;

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
    // Shared by the jobs' analyzers (see CFileAnalyzer).
    std::shared_ptr<std::mutex> m_pTransformLock = std::make_shared<std::mutex>();
    std::function<QString(const QString&)> m_snapshotFolderFor;
};
