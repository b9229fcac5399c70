#pragma once
// The test programs' shared set-up: offscreen Qt, a private settings folder
// (XDG_CONFIG_HOME) and a private current directory per test program, so no
// test reads or writes the user's settings or workspace file.
#include <QString>

class CTestEnvironment {
public:
    // The temporary folder the test program runs in.
    static QString Folder();
    // Removes the settings file and the workspace file, for a first start.
    static void ClearSettings();
};
