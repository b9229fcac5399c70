#pragma once
// Shared by the writers that write and flush each file as it comes: the
// output (a file of ours, or a stream we were given) and the flushed write.
//
// Threads: one thread at a time.
#include "offline/ReportWriter.h"

class CStreamReportWriter : public CReportWriter {
public:
    CStreamReportWriter(std::FILE* out, const QString& path) : m_out(out), m_path(path) {}
    ~CStreamReportWriter() override;

    bool Begin(QString& error) override;
    bool Finish(QString& error) override;

protected:
    // Writes `bytes` and flushes them to the system, so only a file in
    // flight is lost when the run is killed.
    bool WriteFlushed(const QByteArray& bytes, QString& error);

private:
    QString Failure() const;

    std::FILE* m_out;
    QString m_path;
    std::FILE* m_owned = nullptr;
};
