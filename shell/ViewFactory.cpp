#include "shell/ViewFactory.h"

#include "meters/correlation/CorView.h"
#include "shell/PlaceholderView.h"
#include "workspace/WinSet.h"

namespace {
template <class View>
CMeterView* Make(IViewHost& host) { return new View(host); }

template <int Type>
CMeterView* MakePlaceholder(IViewHost& host) { return new CPlaceholderView(host, Type); }
}

std::vector<CDocTemplate> CViewFactory::Templates()
{
    return {
        { kTypePpm, QStringLiteral("PPM-Meter"), QStringLiteral("PPM"), &MakePlaceholder<kTypePpm> },
        { kTypeCorrelation, QStringLiteral("Correlation-Meter"), QStringLiteral("COR"), &Make<CCorView> },
        { kTypeAnalyzer, QStringLiteral("Spectrum Analyzer"), QStringLiteral("FFT"), &MakePlaceholder<kTypeAnalyzer> },
        { kTypeStereo, QStringLiteral("Stereo-Meter"), QStringLiteral("STM"), &MakePlaceholder<kTypeStereo> },
    };
}
