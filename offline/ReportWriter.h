#pragma once
// Writes the report, one file's object at a time, in list order. The JSON
// writer holds the array and writes it whole at the end (to a file: whole
// or not at all); the JSON Lines and CSV writers write and flush each file
// as it comes, so a killed run keeps every file already written.
//
// Threads: one thread at a time (the runner's emitting thread).
#include "offline/FileReport.h"

#include <QString>
#include <cstdio>
#include <memory>

class CReportWriter {
public:
    enum class Format { Json, Jsonl, Csv };

    virtual ~CReportWriter() = default;

    // Opens the output; false with the reason in `error`.
    virtual bool Begin(QString& error) = 0;
    // `position` is the file's place in the whole list (before sharding).
    virtual bool Add(int position, const CFileReport& report, QString& error) = 0;
    virtual bool Finish(QString& error) = 0;

    // A writer of `format` to `path`, or to `out` when `path` is empty.
    static std::unique_ptr<CReportWriter> Make(Format format, std::FILE* out, const QString& path);
    // The word --format takes; false for an unknown word.
    static bool ParseFormat(const QString& word, Format& format);
};
