#include "offline/AnalyzeApp.h"

#include "offline/ArchiveRun.h"
#include "offline/FileJob.h"
#include "offline/OfflineIds.h"

#include <QDir>
#include <QFileInfo>

int CAnalyzeApp::Run(const QStringList& args)
{
    const CAnalyzeOptions options = CAnalyzeOptions::Parse(args);
    switch (options.action) {
    case CAnalyzeOptions::Action::Help:
        std::fputs(qPrintable(CAnalyzeOptions::UsageText()), m_out);
        return offline::kExitOk;
    case CAnalyzeOptions::Action::Version:
        std::fputs(qPrintable(CAnalyzeOptions::VersionText()), m_out);
        return offline::kExitOk;
    case CAnalyzeOptions::Action::Usage:
        Complain(options.error);
        std::fputs(qPrintable(CAnalyzeOptions::UsageText()), m_err);
        return offline::kExitUsage;
    case CAnalyzeOptions::Action::Run:
        break;
    }
    return Analyse(options);
}

int CAnalyzeApp::Analyse(const CAnalyzeOptions& given)
{
    CArchiveRun run(given, m_out, m_err);
    if (given.merge)
        return run.Merge();
    // Snapshots draw the widget instruments, which live on this thread.
    const int workers = CFileJob::kThreadSafe && given.snapshotDir.isEmpty() ? given.Workers() : 1;
    CAnalyzeOptions options = given;
    options.loudnessAlongside = given.jobs == 0 && given.filesFrom.isEmpty() && given.files.size() < given.Workers();
    const CFileJob job(options, [&](const QString& path) { return SnapshotFolderFor(options, path); });
    return run.Execute(job, workers);
}

QString CAnalyzeApp::SnapshotFolderFor(const CAnalyzeOptions& options, const QString& path)
{
    if (options.snapshotDir.isEmpty() || options.files.size() == 1)
        return options.snapshotDir;
    // Two files of the same name (from different folders) get their own folders.
    const QString base = QFileInfo(path).completeBaseName();
    QString name = base.isEmpty() ? QStringLiteral("file") : base;
    for (int n = 2; m_usedFolders.contains(name); ++n)
        name = QStringLiteral("%1-%2").arg(base).arg(n);
    m_usedFolders.insert(name);
    return QDir(options.snapshotDir).filePath(name);
}

void CAnalyzeApp::Complain(const QString& text)
{
    std::fprintf(m_err, "%s: %s\n", offline::kProgramName, qPrintable(text));
    std::fflush(m_err);
}
