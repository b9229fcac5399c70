#pragma once
// The program's fonts. The face names the controls ask for ("MS Sans Serif",
// "Small Fonts", "Arial") do not exist here; they are mapped explicitly to
// DejaVu Sans, at pixel sizes chosen so the texts stay legible at the
// heights the layouts give them. Layout always uses the real metrics.
// UI thread only.
#include <QFont>
#include <QString>

class CMeterFonts {
public:
    // Registers the substitutions once per process (idempotent).
    static void InstallSubstitutions();
    // A font as a Windows logical font would be asked for: face name, height
    // (negative: character height in pixels) and weight (400 normal, 700 bold).
    static QFont Font(const QString& face, int height, int weight = 400);
    // "MS Sans Serif", height -8: the controls' normal font.
    static QFont Normal();
    // "Small Fonts", height -9: the font for small windows.
    static QFont Small();
};
