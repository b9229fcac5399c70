#include "shell/UiThreadPriority.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int kNiceMin = -20;
constexpr int kNiceMax = 19;
constexpr unsigned long kRlimitNiceBase = 20;

pid_t ThisThread() { return static_cast<pid_t>(syscall(SYS_gettid)); }

bool TrySet(int nice) { return setpriority(PRIO_PROCESS, static_cast<id_t>(ThisThread()), nice) == 0; }
}

int CUiThreadPriority::Current()
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(ThisThread()));
    return errno == 0 ? nice : kNiceNormal;
}

int CUiThreadPriority::LowestGranted(unsigned long rlimitNice)
{
    if (rlimitNice == RLIM_INFINITY || rlimitNice >= kRlimitNiceBase - kNiceMin)
        return kNiceMin;
    return std::min(kNiceMax, static_cast<int>(kRlimitNiceBase - rlimitNice));
}

int CUiThreadPriority::Apply(bool aboveNormal)
{
    const int wanted = aboveNormal ? kNiceAboveNormal : kNiceNormal;
    if (TrySet(wanted))
        return Current();
    // Refused: go as close as the limit allows, never further from the
    // wanted value than the thread already is.
    rlimit limit {};
    if (getrlimit(RLIMIT_NICE, &limit) == 0) {
        const int closest = std::max(wanted, LowestGranted(limit.rlim_cur));
        if (closest < Current())
            TrySet(closest);
    }
    return Current();
}
