#pragma once
// The user interface thread's scheduling priority: normal, or above normal
// for the High priority setting. On this system a thread's priority is its
// nice value; an ordinary user may raise it (lower the priority) but may
// lower it only as far as RLIMIT_NICE allows. A request the system refuses
// leaves the thread at the closest value it grants, without a message.
// Call on the thread whose priority is meant (the UI thread).
class CUiThreadPriority {
public:
    static constexpr int kNiceNormal = 0;
    static constexpr int kNiceAboveNormal = -5;

    // Sets the calling thread's priority; returns the nice value in effect.
    static int Apply(bool aboveNormal);
    // The calling thread's nice value.
    static int Current();
    // The lowest nice value an unprivileged thread may take under `rlimitNice`
    // (the RLIMIT_NICE soft limit: 20 - limit, at most 19).
    static int LowestGranted(unsigned long rlimitNice);
};
