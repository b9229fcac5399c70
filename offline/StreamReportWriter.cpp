#include "offline/StreamReportWriter.h"

#include "offline/BytePath.h"

#include <cerrno>
#include <cstring>

CStreamReportWriter::~CStreamReportWriter()
{
    if (m_owned)
        std::fclose(m_owned);
}

bool CStreamReportWriter::Begin(QString& error)
{
    if (m_path.isEmpty())
        return true;
    m_owned = std::fopen(CBytePath::Encode(m_path).constData(), "wb");
    if (!m_owned) {
        error = Failure();
        return false;
    }
    m_out = m_owned;
    return true;
}

bool CStreamReportWriter::WriteFlushed(const QByteArray& bytes, QString& error)
{
    const auto size = static_cast<std::size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, m_out) != size || std::fflush(m_out) != 0) {
        error = Failure();
        return false;
    }
    return true;
}

bool CStreamReportWriter::Finish(QString& error)
{
    if (!m_owned)
        return std::fflush(m_out) == 0;
    const int closed = std::fclose(m_owned);
    m_owned = nullptr;
    if (closed != 0) {
        error = Failure();
        return false;
    }
    return true;
}

QString CStreamReportWriter::Failure() const
{
    const QString where = m_path.isEmpty() ? QStringLiteral("standard output") : CBytePath::ForReport(m_path);
    return QStringLiteral("cannot write the report \"%1\": %2").arg(where, QString::fromLocal8Bit(std::strerror(errno)));
}
