#pragma once
// Measures a file's loudness on a thread of its own, beside the instruments:
// a run with a spare core (fewer files than cores) then takes about as long
// as the slower of the two rather than their sum. The frames are handed over
// a read at a time and measured in order, so the figures are those of a
// measurement on one thread.
//
// Add and Wait belong to the analysing thread; the frames handed to Add must
// stay untouched until the next Wait.
#include "offline/FileLoudness.h"

#include <condition_variable>
#include <mutex>
#include <thread>

class CLoudnessAlongside {
public:
    explicit CLoudnessAlongside(CFileLoudness& loudness);
    // Measures what was handed over, then ends the thread.
    ~CLoudnessAlongside();
    CLoudnessAlongside(const CLoudnessAlongside&) = delete;
    CLoudnessAlongside& operator=(const CLoudnessAlongside&) = delete;

    // Starts measuring `count` interleaved frames (after those handed
    // before them); returns at once.
    void Add(const float* frames, int count);
    // Returns once everything handed over has been measured.
    void Wait();

private:
    void Run();

    CFileLoudness& m_loudness;
    std::mutex m_lock;
    std::condition_variable m_changed;
    const float* m_pFrames = nullptr; // frames waiting to be measured, or none
    int m_nCount = 0;
    bool m_bQuit = false;
    std::thread m_thread;
};
