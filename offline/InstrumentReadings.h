#pragma once
// What the instruments measured, as the report's JSON: the PPM's maxima as
// scale steps, dB values and readout texts; the correlation meter's angle
// readouts (null while blank) and last values; the analyzer's highest and
// current level per bar; and one timeline entry per analysis window.
//
// Reads the models only. Any thread that owns them.
#include <QJsonArray>
#include <QJsonObject>

class CCorModel;
class CFftModel;
class COfflineModels;
class CPpmModel;

class CInstrumentReadings {
public:
    // {"ppm", "correlation", "analyzer"} of the models as they are now.
    static QJsonObject Of(const COfflineModels& models);
    // The same of any three models (a live display's, for one).
    static QJsonObject Of(const CPpmModel& ppm, const CFftModel& fft, const CCorModel& cor);

    static QJsonObject Ppm(const CPpmModel& ppm);
    static QJsonObject Correlation(const CCorModel& cor);
    static QJsonObject Analyzer(const CFftModel& fft);
    // The PPM's current steps and the latest correlation values, at
    // `seconds` into the file.
    static QJsonObject TimelineEntry(double seconds, const COfflineModels& models);
};
