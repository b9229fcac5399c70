#include "offline/AnalyzeApp.h"

#include "offline/FileAnalyzer.h"
#include "offline/OfflineIds.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

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

int CAnalyzeApp::Analyse(const CAnalyzeOptions& options)
{
    CFileAnalyzer analyzer(options);
    QJsonArray report;
    int exitCode = offline::kExitOk;
    for (const QString& path : options.files) {
        QJsonObject result;
        QString error;
        const QString snapshots = SnapshotFolderFor(options, path);
        switch (analyzer.Analyze(path, snapshots, result, error)) {
        case CFileAnalyzer::Outcome::Analysed:
            break;
        case CFileAnalyzer::Outcome::Unreadable:
            Complain(QStringLiteral("cannot read \"%1\": %2").arg(path, error));
            result = QJsonObject { { QStringLiteral("file"), path }, { QStringLiteral("error"), error } };
            exitCode = offline::kExitFileFailed;
            break;
        case CFileAnalyzer::Outcome::SnapshotFailed:
            Complain(QStringLiteral("snapshot of \"%1\": %2").arg(path, error));
            result.insert(QStringLiteral("error"), error);
            exitCode = offline::kExitFileFailed;
            break;
        }
        if (!snapshots.isEmpty() && !result.contains(QStringLiteral("error")))
            result.insert(QStringLiteral("snapshot"), snapshots);
        report.append(result);
    }
    if (!WriteReport(options, report))
        exitCode = offline::kExitFileFailed;
    return exitCode;
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

bool CAnalyzeApp::WriteReport(const CAnalyzeOptions& options, const QJsonArray& report)
{
    const QByteArray json = QJsonDocument(report).toJson(QJsonDocument::Indented);
    if (options.jsonPath.isEmpty()) {
        std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), m_out);
        std::fflush(m_out);
        return true;
    }
    // Written whole or not at all: an earlier report is never left cut.
    QSaveFile file(options.jsonPath);
    if (file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit())
        return true;
    Complain(QStringLiteral("cannot write the report \"%1\": %2").arg(options.jsonPath, file.errorString()));
    return false;
}

void CAnalyzeApp::Complain(const QString& text)
{
    std::fprintf(m_err, "%s: %s\n", offline::kProgramName, qPrintable(text));
    std::fflush(m_err);
}
