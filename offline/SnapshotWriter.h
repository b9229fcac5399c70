#pragma once
// Saves what each instrument shows as a PNG: the control's back buffer,
// drawn by the live program's own control code, at its first-run size.
//
// UI thread only.
#include <QString>

class COfflineInstruments;

class CSnapshotWriter {
public:
    // Writes ppm.png, analyzer.png, correlation.png and stereo.png into
    // `folder` (made if missing). False with the reason in `error`.
    static bool Write(COfflineInstruments& instruments, const QString& folder, QString& error);
};
