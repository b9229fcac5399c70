#pragma once
// One summary row per file for a spreadsheet: path, duration, rate, the PPM
// maxima in dB, the correlation meter's angle readouts, integrated
// loudness, loudness range, true peak, the check result and any error.
// A figure that was not measured is an empty cell. Fields are quoted as
// spreadsheets expect (commas, quotes and line breaks inside quotes).
//
// Threads: one thread at a time.
#include "offline/StreamReportWriter.h"

#include <QStringList>

class CCsvReportWriter : public CStreamReportWriter {
public:
    using CStreamReportWriter::CStreamReportWriter;
    bool Begin(QString& error) override;
    bool Add(int position, const CFileReport& report, QString& error) override;

    static QString HeaderRow();
    static QString Row(const CFileReport& report);
    static QString Quoted(const QString& field);
};
