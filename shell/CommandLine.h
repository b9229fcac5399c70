#pragma once
// The program's command line. Options of our own start with "--"; the
// standard Qt options (-platform, -style, ...) pass through to Qt. Anything
// else is an error that prints the usage. Plain data, any thread.
#include <QString>
#include <QStringList>

class CCommandLine {
public:
    enum class Action { Run, Version, ListDevices, Help, Usage };

    Action action = Action::Run;
    bool demo = false;
    bool dataHome = false; // work in the program's folder under the XDG data home
    QString inputFile;
    int quitAfterMs = -1; // -1: run until the user closes the window
    QString screenshot;
    QString error;        // why the line was refused (Action::Usage)

    // `args` without the program name.
    static CCommandLine Parse(const QStringList& args);
    static QString UsageText();
    // Exit codes of the actions that end at once.
    static constexpr int kExitOk = 0;
    static constexpr int kExitNoDevice = 1;
    static constexpr int kExitUsage = 2;
};
