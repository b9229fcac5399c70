#include "offline/ReportWriter.h"

#include "offline/CsvReportWriter.h"
#include "offline/JsonReportWriter.h"
#include "offline/JsonlReportWriter.h"

std::unique_ptr<CReportWriter> CReportWriter::Make(Format format, std::FILE* out, const QString& path)
{
    switch (format) {
    case Format::Jsonl:
        return std::make_unique<CJsonlReportWriter>(out, path);
    case Format::Csv:
        return std::make_unique<CCsvReportWriter>(out, path);
    case Format::Json:
        break;
    }
    return std::make_unique<CJsonReportWriter>(out, path);
}

bool CReportWriter::ParseFormat(const QString& word, Format& format)
{
    if (word == QLatin1String("json"))
        format = Format::Json;
    else if (word == QLatin1String("jsonl"))
        format = Format::Jsonl;
    else if (word == QLatin1String("csv"))
        format = Format::Csv;
    else
        return false;
    return true;
}
