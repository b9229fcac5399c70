#include "offline/ArchiveRun.h"

#include "offline/BytePath.h"
#include "offline/DeliveryCheck.h"
#include "offline/FileList.h"
#include "offline/JsonReportWriter.h"
#include "offline/OfflineIds.h"
#include "offline/ProgressLine.h"
#include "offline/ReportMerger.h"
#include "offline/ShardSelection.h"

#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

bool CArchiveRun::CollectPaths(QStringList& paths)
{
    paths = m_options.files;
    if (m_options.filesFrom.isEmpty())
        return true;
    QString error;
    if (CFileList::Read(m_options.filesFrom, m_options.nulSeparated, paths, error))
        return true;
    Complain(QStringLiteral("cannot read the file list \"%1\": %2").arg(CBytePath::ForReport(m_options.filesFrom), error));
    return false;
}

int CArchiveRun::Execute(const CParallelRunner::Analysis& analyse, int workers)
{
    QStringList listed;
    if (!CollectPaths(listed))
        return offline::kExitUsage;
    QStringList paths;
    std::vector<int> positions; // each selected file's place in the whole list
    for (int i = 0; i < listed.size(); ++i) {
        if (m_options.shard.Selects(i)) {
            paths << listed[i];
            positions.push_back(i);
        }
    }

    const std::unique_ptr<CReportWriter> writer = CReportWriter::Make(m_options.format, m_out, m_options.jsonPath);
    QString error;
    if (!writer->Begin(error)) {
        Complain(error);
        return offline::kExitFileFailed;
    }
    const CDeliveryRule* rule = CDeliveryRule::Find(m_options.check);
    std::optional<CProgressLine> progress;
    if (ShowsProgress())
        progress.emplace(m_err, static_cast<int>(paths.size()));
    bool written = true;

    CParallelRunner(workers).Run(paths, analyse, [&](int index, const CFileReport& analysed) {
        CFileReport report = analysed;
        if (rule && report.outcome != CFileReport::Outcome::Unreadable) {
            const CDeliveryCheck check = CDeliveryCheck::Evaluate(*rule, report.loudness);
            report.object.insert(QStringLiteral("check"), check.ToJson());
            m_anyCheckFailed = m_anyCheckFailed || !check.Passed();
        }
        if (progress && report.outcome != CFileReport::Outcome::Analysed)
            progress->Finish(); // the complaint gets a line of its own
        Account(report, paths[index]);
        if (progress)
            progress->FileDone(report.loudness.seconds);
        QString writeError;
        if (written && !writer->Add(positions[static_cast<std::size_t>(index)], report, writeError)) {
            Complain(writeError);
            written = false;
        }
    });

    if (progress)
        progress->Finish();
    if (written && !writer->Finish(error)) {
        Complain(error);
        written = false;
    }
    if (!written)
        m_anyUnreadable = true;
    return ExitStatus();
}

int CArchiveRun::Merge()
{
    CReportMerger merger;
    for (const QString& part : m_options.files) {
        QString error;
        if (!merger.AddPart(part, error)) {
            Complain(QStringLiteral("cannot read the part \"%1\": %2").arg(CBytePath::ForReport(part), error));
            return offline::kExitUsage;
        }
    }
    const QStringList problems = merger.Problems();
    for (const QString& problem : problems)
        Complain(problem);
    m_anyUnreadable = !problems.isEmpty();

    CJsonReportWriter writer(m_out, m_options.jsonPath);
    for (const QJsonValue& value : merger.Report()) {
        const QJsonObject object = value.toObject();
        m_anyUnreadable = m_anyUnreadable || object.contains(QLatin1String("error"));
        const QJsonValue check = object[QLatin1String("check")];
        m_anyCheckFailed = m_anyCheckFailed || (check.isObject() && !check[QLatin1String("pass")].toBool());
        writer.AddObject(object);
    }
    QString error;
    if (!writer.Finish(error)) {
        Complain(error);
        m_anyUnreadable = true;
    }
    return ExitStatus();
}

void CArchiveRun::Account(const CFileReport& report, const QString& path)
{
    switch (report.outcome) {
    case CFileReport::Outcome::Analysed:
        return;
    case CFileReport::Outcome::Unreadable:
        Complain(QStringLiteral("cannot read \"%1\": %2").arg(CBytePath::ForReport(path), report.error));
        break;
    case CFileReport::Outcome::SnapshotFailed:
        Complain(QStringLiteral("snapshot of \"%1\": %2").arg(CBytePath::ForReport(path), report.error));
        break;
    }
    m_anyUnreadable = true;
}

bool CArchiveRun::ShowsProgress() const { return m_options.progress || ::isatty(::fileno(m_err)) == 1; }

int CArchiveRun::ExitStatus() const
{
    // A file that could not be read outranks a file that failed its check.
    if (m_anyUnreadable)
        return offline::kExitFileFailed;
    return m_anyCheckFailed ? offline::kExitCheckFailed : offline::kExitOk;
}

void CArchiveRun::Complain(const QString& text)
{
    std::fprintf(m_err, "%s: %s\n", offline::kProgramName, text.toUtf8().constData());
    std::fflush(m_err);
}
