#pragma once
// The benchmarks' one QApplication (offscreen), made by whichever case needs
// it first.
#include <QApplication>

#include <cstdlib>

inline void EnsureBenchApplication()
{
    if (QCoreApplication::instance())
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "lumetra-bench";
    static char* argv[] = { name, nullptr };
    static QApplication app(argc, argv);
}
