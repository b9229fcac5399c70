#include "offline/InstrumentReadings.h"

#include "meters/ppm/PpmLevelTable.h"
#include "offline/OfflineModels.h"

#include <QJsonValue>

namespace {
constexpr unsigned kLeft = 0;
constexpr unsigned kRight = 1;

template <typename F>
QJsonArray PerChannel(const CPpmModel& ppm, F&& value)
{
    return QJsonArray { value(ppm.Channel(kLeft)), value(ppm.Channel(kRight)) };
}

// A readout that shows nothing is null, so a script cannot mistake it for
// an angle.
QJsonValue AngleOrNull(int angle, int blank) { return angle == blank ? QJsonValue() : QJsonValue(angle); }
}

QJsonObject CInstrumentReadings::Of(const COfflineModels& models)
{
    return Of(models.Ppm(), models.Fft(), models.Cor());
}

QJsonObject CInstrumentReadings::Of(const CPpmModel& ppm, const CFftModel& fft, const CCorModel& cor)
{
    return QJsonObject {
        { QStringLiteral("ppm"), Ppm(ppm) },
        { QStringLiteral("correlation"), Correlation(cor) },
        { QStringLiteral("analyzer"), Analyzer(fft) },
    };
}

QJsonObject CInstrumentReadings::Ppm(const CPpmModel& ppm)
{
    const auto& db = CPpmLevelTable::DbTable();
    return QJsonObject {
        { QStringLiteral("max_step"),
            PerChannel(ppm, [](const CPpmChannel& c) { return QJsonValue(static_cast<int>(c.maxLevel)); }) },
        { QStringLiteral("max_db"), PerChannel(ppm, [&db](const CPpmChannel& c) { return QJsonValue(db[c.maxLevel]); }) },
        { QStringLiteral("readout"), PerChannel(ppm, [](const CPpmChannel& c) {
              return QJsonValue(QString::fromStdString(CPpmModel::ReadoutText(c.maxLevel)));
          }) },
    };
}

QJsonObject CInstrumentReadings::Correlation(const CCorModel& cor)
{
    const bool shown = cor.Readings() > 0;
    return QJsonObject {
        { QStringLiteral("min_angle"), AngleOrNull(cor.MinAngle(), cor::kNoMinAngle) },
        { QStringLiteral("max_angle"), AngleOrNull(cor.MaxAngle(), cor::kNoMaxAngle) },
        { QStringLiteral("last_smoothed"), shown ? QJsonValue(cor.LastSmoothed()) : QJsonValue() },
        { QStringLiteral("last_raw"), shown ? QJsonValue(cor.LastRaw()) : QJsonValue() },
    };
}

QJsonObject CInstrumentReadings::Analyzer(const CFftModel& fft)
{
    QJsonArray peaks;
    QJsonArray levels;
    for (unsigned bar = 0; bar < CFftModel::kBars; ++bar) {
        peaks.append(static_cast<int>(fft.Bar(bar).highest));
        levels.append(static_cast<int>(fft.Bar(bar).level));
    }
    return QJsonObject {
        { QStringLiteral("peak_levels"), peaks },
        { QStringLiteral("last_levels"), levels },
    };
}

QJsonObject CInstrumentReadings::TimelineEntry(double seconds, const COfflineModels& models)
{
    const CCorModel& cor = models.Cor();
    return QJsonObject {
        { QStringLiteral("t"), seconds },
        { QStringLiteral("ppm_step"),
            PerChannel(models.Ppm(), [](const CPpmChannel& c) { return QJsonValue(static_cast<int>(c.level)); }) },
        { QStringLiteral("corr"), QJsonArray { cor.LastSmoothed(), cor.LastRaw() } },
    };
}
