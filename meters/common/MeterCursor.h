#pragma once
// The program's cursor (resource 131): a small arrow with its hot spot at
// the top-left pixel, shown over every display control. UI thread only.
#include <QCursor>

class CMeterCursor {
public:
    static constexpr int kResourceId = 131;
    static QCursor Cursor();
};
