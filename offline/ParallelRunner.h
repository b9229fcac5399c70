#pragma once
// Runs an analysis over a list of files with a number of worker threads and
// hands the reports back in list order, each as soon as it and every report
// before it are done. A path that appears several times is analysed once
// and handed back once per mention. A report equals the one a single worker
// makes, since every file is analysed on its own.
//
// Threads: Run() is called on one thread, and `deliver` runs on that thread
// only; `analyse` runs on the workers, one file per call, and must not
// share state between calls. With one worker (or one file) `analyse` runs
// on the calling thread, so an analysis bound to that thread still works.
#include "offline/FileReport.h"

#include <QStringList>
#include <functional>

class CParallelRunner {
public:
    using Analysis = std::function<CFileReport(const QString& path)>;
    // `position` is the mention's index in the list.
    using Deliver = std::function<void(int position, const CFileReport& report)>;

    explicit CParallelRunner(int workers) : m_workers(workers < 1 ? 1 : workers) {}

    void Run(const QStringList& paths, const Analysis& analyse, const Deliver& deliver) const;

private:
    int m_workers;
};
