#pragma once
// A child a test starts ends with the test, however the test ends. A test
// program killed for running over its time would otherwise leave behind a
// program that may still spin, a compositor, or a JACK server that keeps its
// slot in the machine's shared JACK registry, and every later run pays.
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// In the child, between fork and exec (async-signal-safe): asks for
// `signal` when `parent` goes; false when it is gone already.
inline bool EndWithParent(int signal, pid_t parent) { return ::prctl(PR_SET_PDEATHSIG, signal) == 0 && ::getppid() == parent; }

// For a QProcess before it starts: the child gets `signal` (is killed, unless
// asked otherwise) when the test goes.
inline void EndWithTest(QProcess& process, int signal = SIGKILL)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent, signal] {
        if (!EndWithParent(signal, parent))
            ::_exit(127);
    });
}
