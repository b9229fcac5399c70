#include "meters/common/MeterFonts.h"

#include <cstdlib>

namespace {
constexpr const char* kFamily = "DejaVu Sans";

struct FaceMapping {
    const char* face;
    // Pixel size for a requested character height of 8, in pixels; other
    // heights scale linearly.
    int pixelsAt8;
};
// MS Sans Serif is a bitmap face whose 8-pixel cell reads like an 11-pixel
// DejaVu Sans; Small Fonts is drawn at its own small size.
constexpr FaceMapping kFaces[] = {
    { "MS Sans Serif", 11 },
    { "Ms Sans Serif", 11 },
    { "Small Fonts", 8 },
    { "Arial", 10 },
};
}

void CMeterFonts::InstallSubstitutions()
{
    for (const FaceMapping& m : kFaces)
        QFont::insertSubstitution(QString::fromLatin1(m.face), QString::fromLatin1(kFamily));
}

QFont CMeterFonts::Font(const QString& face, int height, int weight)
{
    InstallSubstitutions();
    int pixelsAt8 = 10;
    for (const FaceMapping& m : kFaces) {
        if (face == QLatin1String(m.face))
            pixelsAt8 = m.pixelsAt8;
    }
    const int h = std::abs(height == 0 ? 8 : height);
    QFont font(QString::fromLatin1(kFamily));
    font.setPixelSize(std::max(6, (h * pixelsAt8 + 4) / 8));
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont CMeterFonts::Normal() { return Font(QStringLiteral("MS Sans Serif"), -8, 400); }

QFont CMeterFonts::Small() { return Font(QStringLiteral("Small Fonts"), -9, 400); }
