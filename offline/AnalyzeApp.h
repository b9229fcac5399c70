#pragma once
// The offline analysis program: reads the command line, analyses every
// file (see CArchiveRun) and writes the report (by default one JSON array
// with an object per file). A file that cannot be read is named on the
// error stream with the reason, gets an object with its "error", and the
// others are still analysed.
//
// UI thread only; needs a QApplication (offscreen is enough).
#include "offline/AnalyzeOptions.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdio>

class CAnalyzeApp {
public:
    // The streams the program writes to (tests may pass files).
    CAnalyzeApp(std::FILE* out = stdout, std::FILE* err = stderr) : m_out(out), m_err(err) {}

    // `args` without the program name; returns the exit code.
    int Run(const QStringList& args);

private:
    int Analyse(const CAnalyzeOptions& options);
    // The folder one file's pictures go to: the snapshot folder itself for
    // a single file, else a folder in it named after the file.
    QString SnapshotFolderFor(const CAnalyzeOptions& options, const QString& path);
    void Complain(const QString& text);

    std::FILE* m_out;
    std::FILE* m_err;
    QSet<QString> m_usedFolders;
};
