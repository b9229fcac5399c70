#pragma once
// The default report: one JSON array, indented, with an object per file.
//
// Threads: one thread at a time.
#include "offline/ReportWriter.h"

#include <QJsonArray>

class CJsonReportWriter : public CReportWriter {
public:
    CJsonReportWriter(std::FILE* out, const QString& path) : m_out(out), m_path(path) {}

    bool Begin(QString&) override { return true; }
    bool Add(int position, const CFileReport& report, QString& error) override;
    bool Finish(QString& error) override;

    // Merged parts come in as objects.
    void AddObject(const QJsonObject& object) { m_report.append(object); }

private:
    std::FILE* m_out;
    QString m_path;
    QJsonArray m_report;
};
