#include "shell/ViewFactory.h"

#include "meters/analyzer/FftView.h"
#include "meters/correlation/CorView.h"
#include "meters/loudness/LoudnessView.h"
#include "meters/ppm/PpmView.h"
#include "meters/stereo/StereoView.h"

namespace {
template <class View>
CMeterView* Make(IViewHost& host) { return new View(host); }

template <class View>
CDocTemplate TemplateOf(const char* tag)
{
    return { static_cast<int>(View::kType), QString::fromLatin1(View::kTitle), QString::fromLatin1(tag), &Make<View> };
}
}

std::vector<CDocTemplate> CViewFactory::Templates()
{
    return {
        TemplateOf<CPpmView>("PPM"),
        TemplateOf<CCorView>("COR"),
        TemplateOf<CFftView>("FFT"),
        TemplateOf<CStereoView>("STM"),
        TemplateOf<CLoudnessView>("LUD"),
    };
}
