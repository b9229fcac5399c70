#pragma once
// One run of the offline program over a list of files: the list from the
// command line and --files-from, the shard of it this run takes, the
// analysis spread over the workers, each file's delivery check, the report
// written in list order as files finish, the progress line, and the exit
// status. Also the merge of JSON Lines parts into one report.
//
// Threads: the thread that calls Execute or Merge; the analysis it is given
// runs on the runner's workers.
#include "offline/AnalyzeOptions.h"
#include "offline/ParallelRunner.h"

#include <cstdio>

class CReportWriter;
struct CDeliveryRule;

class CArchiveRun {
public:
    CArchiveRun(const CAnalyzeOptions& options, std::FILE* out, std::FILE* err)
        : m_options(options), m_out(out), m_err(err)
    {
    }

    // Analyses the list with `workers` threads; returns the exit status.
    int Execute(const CParallelRunner::Analysis& analyse, int workers);
    // --merge: the options' files are JSON Lines parts.
    int Merge();

    // The paths to analyse: the command line's, then the list file's.
    // False (the reason said) when the list cannot be read.
    bool CollectPaths(QStringList& paths);

private:
    void Account(const CFileReport& report, const QString& path);
    bool ShowsProgress() const;
    void Complain(const QString& text);
    int ExitStatus() const;

    const CAnalyzeOptions& m_options;
    std::FILE* m_out;
    std::FILE* m_err;
    bool m_anyUnreadable = false;
    bool m_anyCheckFailed = false;
};
