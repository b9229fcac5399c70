#include "offline/CsvReportWriter.h"

#include <QJsonArray>
#include <QJsonValue>
#include <cmath>
#include <optional>

namespace {
QString Number(double value, int decimals) { return QString::number(value, 'f', decimals); }

QString Optional(const std::optional<double>& value)
{
    if (!value)
        return QString();
    if (std::isinf(*value))
        return *value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    return Number(*value, 1);
}

QString Cell(const QJsonValue& value)
{
    if (value.isDouble())
        return QString::number(value.toDouble());
    return value.isString() ? value.toString() : QString();
}

QString CheckCell(const QJsonObject& object)
{
    const QJsonValue check = object[QLatin1String("check")];
    if (!check.isObject())
        return QString();
    return check.toObject()[QLatin1String("pass")].toBool() ? QStringLiteral("pass") : QStringLiteral("fail");
}
}

bool CCsvReportWriter::Begin(QString& error)
{
    return CStreamReportWriter::Begin(error) && WriteFlushed(HeaderRow().toUtf8() + '\n', error);
}

bool CCsvReportWriter::Add(int, const CFileReport& report, QString& error)
{
    return WriteFlushed(Row(report).toUtf8() + '\n', error);
}

QString CCsvReportWriter::HeaderRow()
{
    return QStringLiteral("file,duration_s,rate_hz,ppm_left_max_db,ppm_right_max_db,correlation_min_angle,"
                          "correlation_max_angle,integrated_lufs,loudness_range_lu,true_peak_dbtp,check,error");
}

QString CCsvReportWriter::Row(const CFileReport& report)
{
    const QJsonObject& object = report.object;
    const QJsonArray maxDb = object[QLatin1String("ppm")].toObject()[QLatin1String("max_db")].toArray();
    const QJsonObject correlation = object[QLatin1String("correlation")].toObject();
    const int rate = object[QLatin1String("rate")].toInt();
    const double frames = object[QLatin1String("frames")].toDouble();
    const bool measured = report.outcome != CFileReport::Outcome::Unreadable && rate > 0;
    const QStringList fields {
        object[QLatin1String("file")].toString(),
        measured ? Number(frames / rate, 3) : QString(),
        measured ? QString::number(rate) : QString(),
        measured ? Cell(maxDb[0]) : QString(),
        measured ? Cell(maxDb[1]) : QString(),
        Cell(correlation[QLatin1String("min_angle")]),
        Cell(correlation[QLatin1String("max_angle")]),
        Optional(report.loudness.integratedLufs),
        Optional(report.loudness.rangeLu),
        Optional(report.loudness.truePeakDbtp),
        CheckCell(object),
        object[QLatin1String("error")].toString(),
    };
    QStringList quoted;
    for (const QString& field : fields)
        quoted << Quoted(field);
    return quoted.join(QLatin1Char(','));
}

QString CCsvReportWriter::Quoted(const QString& field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\n'))
        && !field.contains(QLatin1Char('\r')))
        return field;
    QString doubled = field;
    doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}
