#include "offline/JsonlReportWriter.h"

#include <QJsonDocument>

bool CJsonlReportWriter::Add(int position, const CFileReport& report, QString& error)
{
    QJsonObject line = report.object;
    line.insert(QLatin1String(kIndexKey), position);
    return WriteFlushed(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n', error);
}
