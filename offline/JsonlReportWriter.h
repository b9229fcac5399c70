#pragma once
// JSON Lines: one line per file, its object with "index" (the file's
// position in the whole list, from 0) added, so the lines of several
// shards can be put back in list order.
//
// Threads: one thread at a time.
#include "offline/StreamReportWriter.h"

class CJsonlReportWriter : public CStreamReportWriter {
public:
    static constexpr const char* kIndexKey = "index";

    using CStreamReportWriter::CStreamReportWriter;
    bool Add(int position, const CFileReport& report, QString& error) override;
};
