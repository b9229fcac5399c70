#pragma once
// What the instruments show, as the report's JSON: the PPM's maxima as
// scale steps, dB values and readout texts; the correlation meter's angle
// readouts (null while blank) and last values; the analyzer's highest and
// current level per bar; and one timeline entry per analysis window.
//
// UI thread only (it reads the controls).
#include <QJsonArray>
#include <QJsonObject>

class COfflineInstruments;

class CInstrumentReadings {
public:
    // {"ppm", "correlation", "analyzer"} of the instruments as they are now.
    static QJsonObject Of(COfflineInstruments& instruments);

    static QJsonObject Ppm(COfflineInstruments& instruments);
    static QJsonObject Correlation(COfflineInstruments& instruments);
    static QJsonObject Analyzer(COfflineInstruments& instruments);
    // The PPM bars' current steps and the latest correlation values, at
    // `seconds` into the file.
    static QJsonObject TimelineEntry(double seconds, COfflineInstruments& instruments);
};
