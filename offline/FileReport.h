#pragma once
// What the analysis of one file hands to the report: its JSON object, how
// it went, and the loudness figures the delivery check and the CSV report
// take. Each file's report is built from that file alone, so reports made on
// different threads, or in different processes, are alike.
//
// Plain value, any thread.
#include "offline/LoudnessFigures.h"

#include <QJsonObject>
#include <QString>

struct CFileReport {
    enum class Outcome { Analysed, Unreadable, SnapshotFailed };

    Outcome outcome = Outcome::Analysed;
    QString error;       // why, when the outcome is not Analysed
    QJsonObject object;  // the file's object in the report
    CLoudnessFigures loudness;
};
