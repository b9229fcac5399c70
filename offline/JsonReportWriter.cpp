#include "offline/JsonReportWriter.h"

#include "offline/BytePath.h"

#include <QJsonDocument>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

bool CJsonReportWriter::Add(int, const CFileReport& report, QString&)
{
    m_report.append(report.object);
    return true;
}

bool CJsonReportWriter::Finish(QString& error)
{
    const QByteArray json = QJsonDocument(m_report).toJson(QJsonDocument::Indented);
    if (m_path.isEmpty()) {
        // A full disk fails the fwrite itself when the report outgrows the buffer.
        const auto size = static_cast<std::size_t>(json.size());
        if (std::fwrite(json.constData(), 1, size, m_out) == size && std::fflush(m_out) == 0)
            return true;
        error = QStringLiteral("cannot write the report \"standard output\": %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Written whole or not at all: an earlier report is never left cut.
    QSaveFile file(m_path);
    if (file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit())
        return true;
    error = QStringLiteral("cannot write the report \"%1\": %2").arg(CBytePath::ForReport(m_path), file.errorString());
    return false;
}
