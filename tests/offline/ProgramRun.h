#pragma once
// Runs the built lumetra-analyze as a user or a batch scheduler would: no
// display, no runtime folder. Shared by the program tests.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace programrun {

struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QProcessEnvironment QuietEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // as under cron or a batch scheduler
    return env;
}

inline ProgramRun Finish(QProcess& process)
{
    ProgramRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline ProgramRun RunAnalyzer(const QStringList& args, const QString& folder = QString(),
                              const QByteArray& input = QByteArray())
{
    QProcess process;
    process.setProcessEnvironment(QuietEnvironment());
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(LUMETRA_ANALYZE_PROGRAM), args);
    process.write(input);
    process.closeWriteChannel();
    return Finish(process);
}

// A shell line, for what QProcess cannot pass (bytes that are not text,
// GNU parallel's fan-out); the program is $0.
inline ProgramRun RunShell(const QString& line, const QString& folder)
{
    QProcess process;
    process.setProcessEnvironment(QuietEnvironment());
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), line, QStringLiteral(LUMETRA_ANALYZE_PROGRAM) });
    process.closeWriteChannel();
    return Finish(process);
}

inline QJsonArray Report(const QByteArray& json) { return QJsonDocument::fromJson(json).array(); }

} // namespace programrun
