#pragma once
// The four instrument templates in document order (PPM, correlation meter,
// analyzer, stereo meter), each with the view class it creates.
// UI thread only.
#include "shell/DocTemplate.h"

#include <vector>

class CViewFactory {
public:
    static std::vector<CDocTemplate> Templates();
};
