#include "offline/InstrumentReadings.h"

#include "meters/analyzer/FftCtrl.h"
#include "meters/correlation/CorCtrl.h"
#include "meters/ppm/PpmCtrl.h"
#include "meters/ppm/PpmLevelTable.h"
#include "offline/OfflineInstruments.h"

#include <QJsonValue>

namespace {
constexpr unsigned kLeft = 0;
constexpr unsigned kRight = 1;

template <typename F>
QJsonArray PerChannel(CPpmCtrl& ppm, F&& value)
{
    return QJsonArray { value(ppm.Bar(kLeft)), value(ppm.Bar(kRight)) };
}

// A readout that shows nothing is null, so a script cannot mistake it for
// an angle.
QJsonValue AngleOrNull(int angle, int blank) { return angle == blank ? QJsonValue() : QJsonValue(angle); }
}

QJsonObject CInstrumentReadings::Of(COfflineInstruments& instruments)
{
    return QJsonObject {
        { QStringLiteral("ppm"), Ppm(instruments) },
        { QStringLiteral("correlation"), Correlation(instruments) },
        { QStringLiteral("analyzer"), Analyzer(instruments) },
    };
}

QJsonObject CInstrumentReadings::Ppm(COfflineInstruments& instruments)
{
    CPpmCtrl& ppm = instruments.Ppm();
    const auto& db = CPpmLevelTable::DbTable();
    return QJsonObject {
        { QStringLiteral("max_step"), PerChannel(ppm, [](const CPpmBar& bar) { return QJsonValue(bar.m_nMaxLevel); }) },
        { QStringLiteral("max_db"), PerChannel(ppm, [&db](const CPpmBar& bar) {
              return QJsonValue(db[static_cast<std::size_t>(bar.m_nMaxLevel)]);
          }) },
        { QStringLiteral("readout"), PerChannel(ppm, [](const CPpmBar& bar) { return QJsonValue(bar.ReadoutText()); }) },
    };
}

QJsonObject CInstrumentReadings::Correlation(COfflineInstruments& instruments)
{
    const CCorCtrl& cor = instruments.Cor();
    const CCorReadingTap& tap = instruments.CorTap();
    const bool shown = tap.Readings() > 0;
    return QJsonObject {
        { QStringLiteral("min_angle"), AngleOrNull(cor.MinAngle(), cor::kNoMinAngle) },
        { QStringLiteral("max_angle"), AngleOrNull(cor.MaxAngle(), cor::kNoMaxAngle) },
        { QStringLiteral("last_smoothed"), shown ? QJsonValue(tap.LastSmoothed()) : QJsonValue() },
        { QStringLiteral("last_raw"), shown ? QJsonValue(tap.LastRaw()) : QJsonValue() },
    };
}

QJsonObject CInstrumentReadings::Analyzer(COfflineInstruments& instruments)
{
    CFftCtrl& fft = instruments.Fft();
    const CFftPeakTap& tap = instruments.FftTap();
    QJsonArray peaks;
    QJsonArray levels;
    for (int bar = 0; bar < static_cast<int>(fft.BarCount()); ++bar) {
        peaks.append(static_cast<int>(tap.PeakLevel(bar)));
        levels.append(static_cast<int>(fft.Bar(static_cast<unsigned>(bar)).Level()));
    }
    return QJsonObject {
        { QStringLiteral("peak_levels"), peaks },
        { QStringLiteral("last_levels"), levels },
    };
}

QJsonObject CInstrumentReadings::TimelineEntry(double seconds, COfflineInstruments& instruments)
{
    const CCorReadingTap& tap = instruments.CorTap();
    return QJsonObject {
        { QStringLiteral("t"), seconds },
        { QStringLiteral("ppm_step"), PerChannel(instruments.Ppm(), [](const CPpmBar& bar) {
              return QJsonValue(static_cast<int>(bar.m_nLevel));
          }) },
        { QStringLiteral("corr"), QJsonArray { tap.LastSmoothed(), tap.LastRaw() } },
    };
}
