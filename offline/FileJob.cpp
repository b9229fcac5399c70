#include "offline/FileJob.h"

#include "offline/BytePath.h"
#include "offline/DeliveryCheck.h"
#include "offline/FileAnalyzer.h"
#include "offline/WavLengthProbe.h"

#include <QJsonArray>
#include <algorithm>
#include <limits>
#include <sys/stat.h>

namespace {
const QString kFileKey = QStringLiteral("file");
const QString kErrorKey = QStringLiteral("error");
const QString kNotesKey = QStringLiteral("notes");

bool IsDirectory(const QString& path)
{
    struct stat info {};
    return ::stat(CBytePath::Encode(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

CFileReport Unreadable(const QString& path, const QString& error)
{
    CFileReport report;
    report.outcome = CFileReport::Outcome::Unreadable;
    report.error = error;
    report.object = QJsonObject { { kFileKey, CBytePath::ForReport(path) }, { kErrorKey, error } };
    return report;
}

// The figures the check judges, from the report's "loudness" object: a
// file long enough to gate whose integrated loudness is null held nothing
// above the gate (silence), and the highest channel's true peak counts.
CLoudnessFigures FiguresOf(const QJsonObject& object)
{
    CLoudnessFigures figures;
    const int rate = object[QLatin1String("rate")].toInt();
    if (rate > 0)
        figures.seconds = object[QLatin1String("frames")].toDouble() / rate;
    const QJsonObject loudness = object[QLatin1String("loudness")].toObject();
    if (loudness.isEmpty())
        return figures;
    constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
    const QJsonValue integrated = loudness[QLatin1String("integrated_lufs")];
    if (integrated.isDouble())
        figures.integratedLufs = integrated.toDouble();
    else if (figures.seconds >= CDeliveryCheck::kShortestJudgedSeconds)
        figures.integratedLufs = kMinusInfinity;
    const QJsonValue range = loudness[QLatin1String("range_lu")];
    if (range.isDouble())
        figures.rangeLu = range.toDouble();
    const QJsonArray peaks = loudness[QLatin1String("true_peak_dbtp")].toArray();
    if (!peaks.isEmpty()) {
        double highest = kMinusInfinity; // a null channel is digital silence
        for (const QJsonValue& peak : peaks) {
            if (peak.isDouble())
                highest = std::max(highest, peak.toDouble());
        }
        figures.truePeakDbtp = highest;
    }
    return figures;
}
}

CFileReport CFileJob::operator()(const QString& path) const
{
    if (IsDirectory(path))
        return Unreadable(path, QStringLiteral("This is a directory, not a sound file."));

    CFileAnalyzer analyzer(m_options, m_pTransformLock.get());
    const QString snapshots = m_snapshotFolderFor ? m_snapshotFolderFor(path) : QString();
    CFileReport report;
    switch (analyzer.Analyze(path, snapshots, report.object, report.error)) {
    case CFileAnalyzer::Outcome::Analysed:
        break;
    case CFileAnalyzer::Outcome::Unreadable:
        return Unreadable(path, report.error);
    case CFileAnalyzer::Outcome::SnapshotFailed:
        report.outcome = CFileReport::Outcome::SnapshotFailed;
        report.object.insert(kErrorKey, report.error);
        break;
    }
    report.object.insert(kFileKey, CBytePath::ForReport(path));
    NoteEarlyEnd(path, report.object);
    if (!snapshots.isEmpty() && !report.object.contains(kErrorKey))
        report.object.insert(QStringLiteral("snapshot"), snapshots);
    report.loudness = FiguresOf(report.object);
    return report;
}

void CFileJob::NoteEarlyEnd(const QString& path, QJsonObject& object)
{
    CWavLengthProbe::Length length;
    if (!CWavLengthProbe::Probe(path, length) || length.declaredFrames <= length.presentFrames)
        return;
    QJsonArray notes = object[kNotesKey].toArray();
    for (const QJsonValue& note : notes) {
        if (note.toString().startsWith(QLatin1String("the file ended")))
            return;
    }
    const qint64 read = object[QLatin1String("frames")].toInteger(length.presentFrames);
    notes.append(QStringLiteral("the file ended after %1 of its %2 frames").arg(read).arg(length.declaredFrames));
    object.insert(kNotesKey, notes);
}
