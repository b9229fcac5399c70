#pragma once
// Opens the help and the web pages with the desktop's handlers. The help is
// "Lumetra.chm" in the current folder when there is one, otherwise the HTML
// manual built into the program, written out to the user's cache folder.
// Every failure is silent. UI thread only.
#include <QString>

class CHelpLauncher {
public:
    // True when a handler was asked to open the help.
    static bool OpenHelp();
    static bool OpenUrl(const QString& url);
    // Writes the built-in manual to the cache folder; its path, or empty.
    static QString ExtractManual();
};
