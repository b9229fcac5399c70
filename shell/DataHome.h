#pragma once
// The program's own working folder under the XDG data home
// ($XDG_DATA_HOME/lumetra, else ~/.local/share/lumetra). Started from the
// desktop menu, the working folder would be the home folder, and the
// workspace file would land loose in it; `--data-home` moves the program
// into this folder instead, creating it on the first start. UI thread only,
// before anything reads or writes files by relative name.
#include <QString>

class CDataHome {
public:
    // The folder, from the environment as it is now.
    static QString Path();
    // Creates the folder if needed and makes it the current folder; false,
    // with the reason in `error`, when either fails.
    static bool Enter(QString& error);
};
