#include "platform/UiWakeup.h"

#include <QSocketNotifier>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

CUiWakeup::CUiWakeup(std::function<void()> handler, QObject* parent)
    : QObject(parent)
    , m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    , m_handler(std::move(handler))
{
    if (m_fd >= 0) {
        m_pNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_pNotifier, &QSocketNotifier::activated, this, &CUiWakeup::OnActivated);
    }
}

CUiWakeup::~CUiWakeup()
{
    delete m_pNotifier;
    if (m_fd >= 0)
        close(m_fd);
}

void CUiWakeup::Wake()
{
    const std::uint64_t one = 1;
    // A full counter (never reached in practice) only means a wake is pending.
    [[maybe_unused]] const ssize_t n = write(m_fd, &one, sizeof one);
}

void CUiWakeup::OnActivated()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(m_fd, &count, sizeof count);
    if (m_handler)
        m_handler();
}
