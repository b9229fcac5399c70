#pragma once
// The offline analysis program's command line: the instruments' options as
// their menus offer them, the outputs and the files. Defaults are the live
// program's first-run settings. Plain data, any thread.
#include "offline/ReportWriter.h"
#include "offline/ShardSelection.h"

#include <QString>
#include <QStringList>

class CAnalyzeOptions {
public:
    enum class Action { Run, Help, Version, Usage };

    Action action = Action::Run;
    QString error; // why the line was refused (Action::Usage)

    // PPM: decay time in tick units (10, 20, 30) and the peak mode as the
    // view stores it (0 none, 1 hold, 2 decay).
    unsigned ppmDecayTime;
    int ppmPeakMode;
    // PPM ballistics mode as the settings store it (0 Digital Peak .. 5 EBU).
    int ppmBallistics = 0;
    // Analyzer: window type 0..6 and input mode 0..3.
    int fftWindow;
    int fftInput;

    bool timeline = false;
    QString snapshotDir; // empty: no snapshots
    QString jsonPath;    // empty: standard output
    QStringList files; // paths as CBytePath decodes them

    // Archive runs.
    int jobs = 0;          // workers; 0: one per core
    QString filesFrom;     // list file, "-" for standard input; empty: none
    bool nulSeparated = false;
    CReportWriter::Format format = CReportWriter::Format::Json;
    QString check;         // delivery rule name; empty: none
    CShardSelection shard;
    bool merge = false;    // files are JSON Lines parts to merge
    bool progress = false; // progress line even when standard error is no terminal
    // Set by the run, not an option word: with fewer files than cores each
    // file's loudness is measured on a thread of its own, beside the
    // instruments (never with --jobs, which sets the threads a run may use).
    bool loudnessAlongside = false;
    // Not an option word either: false leaves loudness and true peak out
    // (the report has no "loudness" field), so a benchmark can time the
    // other four instruments alone.
    bool loudness = true;

    // The workers a run uses: `jobs`, or one per core.
    int Workers() const;

    CAnalyzeOptions();

    // `args` without the program name.
    static CAnalyzeOptions Parse(const QStringList& args);
    static QString UsageText();
    static QString VersionText();

    // The option words, as the menus name their items.
    static QString PpmDecayName(unsigned decayTime);
    static QString PpmPeakName(int peakMode);
    static QString WindowName(int windowType);
    static QString InputName(int inputMode);

private:
    bool Apply(const QString& option, const QString& value);
};
