#pragma once
// An instrument's document template: its resource number (also its menu and
// its type in the window records), the window title and the tag its name is
// kept under as the active instrument, and how its view is made.
// UI thread only.
#include <QString>
#include <functional>

class CMeterView;
class IViewHost;

struct CDocTemplate {
    int type;
    QString title;
    // "PPM", "COR", "FFT" or "STM": the "Settings"/"Active" value.
    QString tag;
    std::function<CMeterView*(IViewHost&)> createView;
};
