#pragma once
// Puts JSON Lines parts (the shards' outputs, in any order) back together
// as the list's report: every line's object in order of its "index", the
// index itself removed, so the result equals the report of one run over the
// whole list. A line that is not a JSON object with an index (the cut last
// line of a killed run), an index given twice and a gap in the indices are
// named as problems; the rest is still merged.
//
// Plain object, one thread at a time.
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <map>

class CReportMerger {
public:
    // Reads one part; false with the reason in `error` when it cannot be
    // read at all.
    bool AddPart(const QString& path, QString& error);
    // Adds one part's text; `name` is used in the problems.
    void AddText(const QByteArray& text, const QString& name);

    // The objects in list order, and what was wrong with the parts.
    QJsonArray Report() const;
    QStringList Problems() const;

private:
    std::map<long long, QJsonObject> m_objects;
    QStringList m_problems;
};
