#include "offline/ReportMerger.h"

#include "offline/BytePath.h"
#include "offline/JsonlReportWriter.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cerrno>
#include <cstdio>
#include <cstring>

bool CReportMerger::AddPart(const QString& path, QString& error)
{
    std::FILE* file = std::fopen(CBytePath::Encode(path).constData(), "rb");
    if (!file) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    QByteArray text;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, static_cast<qsizetype>(got));
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (failed) {
        error = QString::fromLocal8Bit(std::strerror(readErrno));
        return false;
    }
    AddText(text, CBytePath::ForReport(path));
    return true;
}

void CReportMerger::AddText(const QByteArray& text, const QString& name)
{
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        QJsonParseError parse {};
        const QJsonDocument document = QJsonDocument::fromJson(lines[i], &parse);
        QJsonObject object = document.object();
        const QJsonValue index = object.take(QLatin1String(CJsonlReportWriter::kIndexKey));
        if (parse.error != QJsonParseError::NoError || !document.isObject() || !index.isDouble()
            || index.toDouble() < 0) {
            m_problems << QStringLiteral("%1 line %2 is not a report line (cut short?)").arg(name).arg(i + 1);
            continue;
        }
        const auto position = static_cast<long long>(index.toDouble());
        if (m_objects.count(position)) {
            m_problems << QStringLiteral("%1 line %2 repeats position %3").arg(name).arg(i + 1).arg(position);
            continue;
        }
        m_objects.emplace(position, object);
    }
}

QJsonArray CReportMerger::Report() const
{
    QJsonArray report;
    for (const auto& [position, object] : m_objects)
        report.append(object);
    return report;
}

QStringList CReportMerger::Problems() const
{
    QStringList problems = m_problems;
    long long expected = 0;
    for (const auto& entry : m_objects) {
        if (entry.first != expected) {
            problems << QStringLiteral("positions %1 to %2 are missing (a shard not merged?)")
                            .arg(expected)
                            .arg(entry.first - 1);
        }
        expected = entry.first + 1;
    }
    return problems;
}
