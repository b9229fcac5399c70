#pragma once
// Measures a file's loudness on a thread of its own, beside the instruments:
// a run with a spare core (fewer files than cores) then takes about as long
// as the slower of the two rather than their sum. The frames are handed over
// a read at a time and measured in order, so the figures are those of a
// measurement on one thread. The true peak, a quarter of the work, is
// measured on the analysing thread in Add, which balances the two.
//
// Add and Wait belong to the analysing thread; the frames handed to Add must
// stay untouched until the next Add or Wait has returned.
#include "offline/FileLoudness.h"

#include <semaphore>
#include <thread>

class CLoudnessAlongside {
public:
    explicit CLoudnessAlongside(CFileLoudness& loudness);
    // Measures what was handed over, then ends the thread.
    ~CLoudnessAlongside();
    CLoudnessAlongside(const CLoudnessAlongside&) = delete;
    CLoudnessAlongside& operator=(const CLoudnessAlongside&) = delete;

    // Starts measuring `count` interleaved frames (after those handed
    // before them); returns once their true peak is measured.
    void Add(const float* frames, int count);
    // Returns once everything handed over has been measured.
    void Wait();

private:
    void Run();

    CFileLoudness& m_loudness;
    // Handed over through two semaphores: `m_work` says frames wait (or the
    // thread is to end), `m_idle` that nothing is being measured.
    std::binary_semaphore m_work { 0 };
    std::binary_semaphore m_idle { 1 };
    const float* m_pFrames = nullptr;
    int m_nCount = 0;
    bool m_bQuit = false;
    std::thread m_thread;
};
