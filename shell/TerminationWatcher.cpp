#include "shell/TerminationWatcher.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_pipe[2] = { -1, -1 };
// Signals received; the second one means the normal close is not getting
// anywhere (or the user insists), so it ends the program the hard way.
volatile std::sig_atomic_t g_nSignals = 0;

extern "C" void OnTerminationSignal(int sig)
{
    // Only async-signal-safe work here: one byte into the pipe, and errno
    // kept for the code the signal interrupted.
    const int savedErrno = errno;
    g_nSignals = g_nSignals + 1;
    if (g_nSignals >= 2) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}
}

bool CTerminationWatcher::InstallHandlers()
{
    if (g_pipe[0] >= 0)
        return true;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : { SIGTERM, SIGINT, SIGHUP })
        sigaction(sig, &action, nullptr);
    return true;
}

CTerminationWatcher::CTerminationWatcher(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent)
    , m_onTerminate(std::move(onTerminate))
{
    if (g_pipe[0] < 0)
        return;
    m_pNotifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CTerminationWatcher::OnSignal);
}

void CTerminationWatcher::OnSignal()
{
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    if (m_onTerminate)
        m_onTerminate();
}
