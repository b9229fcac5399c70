#include "shell/CommandLine.h"

namespace {
// Qt's own options that take a value, and those that do not.
const QStringList kQtValueOptions = { QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"),
    QStringLiteral("-platformtheme"), QStringLiteral("-plugin"), QStringLiteral("-qwindowgeometry"),
    QStringLiteral("-qwindowtitle"), QStringLiteral("-qwindowicon"), QStringLiteral("-style"),
    QStringLiteral("-stylesheet"), QStringLiteral("-display"), QStringLiteral("-geometry") };
const QStringList kQtFlagOptions = { QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
    QStringLiteral("-nograb"), QStringLiteral("-dograb"), QStringLiteral("-sync") };

CCommandLine Refuse(const QString& why)
{
    CCommandLine line;
    line.action = CCommandLine::Action::Usage;
    line.error = why;
    return line;
}
}

CCommandLine CCommandLine::Parse(const QStringList& args)
{
    CCommandLine line;
    bool listDevices = false;
    bool version = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--version")) {
            version = true;
        } else if (arg == QLatin1String("--list-devices")) {
            listDevices = true;
        } else if (arg == QLatin1String("--demo")) {
            line.demo = true;
        } else if (arg == QLatin1String("--data-home")) {
            line.dataHome = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            line.action = Action::Help;
            return line;
        } else if (arg == QLatin1String("--input")) {
            if (!hasValue)
                return Refuse(QStringLiteral("--input needs a file name"));
            line.inputFile = args[++i];
        } else if (arg == QLatin1String("--screenshot")) {
            if (!hasValue)
                return Refuse(QStringLiteral("--screenshot needs a file name"));
            line.screenshot = args[++i];
        } else if (arg == QLatin1String("--quit-after")) {
            bool ok = false;
            const int ms = hasValue ? args[i + 1].toInt(&ok) : 0;
            if (!ok || ms < 0)
                return Refuse(QStringLiteral("--quit-after needs a number of milliseconds"));
            line.quitAfterMs = ms;
            ++i;
        } else if (kQtValueOptions.contains(arg)) {
            ++i;
        } else if (kQtFlagOptions.contains(arg)) {
            continue;
        } else {
            return Refuse(QStringLiteral("unknown option: %1").arg(arg));
        }
    }
    if (version)
        line.action = Action::Version;
    else if (listDevices)
        line.action = Action::ListDevices;
    return line;
}

QString CCommandLine::UsageText()
{
    return QStringLiteral(
        "Usage: lumetra [options]\n"
        "Live stereo audio meter: PPM, correlation meter, spectrum analyzer, stereo meter and loudness meter.\n"
        "\n"
        "  --demo              add the demonstration input devices; a first start (no settings\n"
        "                      yet) reads \"Demo: Music mix\" with every instrument on\n"
        "  --input FILE        add an input device that plays FILE in a loop\n"
        "  --data-home         work in $XDG_DATA_HOME/lumetra (created if missing), which then\n"
        "                      holds the workspace file cv.wsp; the desktop menu entry uses it\n"
        "  --list-devices      print the input devices (id and name; -1 is the default) and exit\n"
        "  --version           print the version and exit\n"
        "  --quit-after MS     close the main window after MS milliseconds\n"
        "  --screenshot FILE   save a PNG of the main window just before that close\n"
        "  --help              print this text and exit\n");
}
