#include "shell/ViewFactory.h"

#include "meters/analyzer/FftView.h"
#include "meters/correlation/CorView.h"
#include "meters/stereo/StereoView.h"
#include "shell/PlaceholderView.h"
#include "workspace/WinSet.h"

namespace {
template <class View>
CMeterView* Make(IViewHost& host) { return new View(host); }

template <int Type>
CMeterView* MakePlaceholder(IViewHost& host) { return new CPlaceholderView(host, Type); }

template <class View>
CDocTemplate TemplateOf(const char* tag)
{
    return { static_cast<int>(View::kType), QString::fromLatin1(View::kTitle), QString::fromLatin1(tag), &Make<View> };
}
}

std::vector<CDocTemplate> CViewFactory::Templates()
{
    return {
        { kTypePpm, QStringLiteral("PPM-Meter"), QStringLiteral("PPM"), &MakePlaceholder<kTypePpm> },
        TemplateOf<CCorView>("COR"),
        TemplateOf<CFftView>("FFT"),
        TemplateOf<CStereoView>("STM"),
    };
}
