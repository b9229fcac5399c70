#pragma once
// The progress line on standard error: files done of the total, how much
// faster than real time the audio is going, and the time left at that pace.
// It rewrites itself in place (carriage return) at most a few times a
// second and is cleared at the end, so it never mixes with the report.
//
// Threads: one thread at a time (the runner's emitting thread).
#include <QString>
#include <chrono>
#include <cstdio>

class CProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    CProgressLine(std::FILE* err, int total);

    // One file done, with `audioSeconds` of audio.
    void FileDone(double audioSeconds);
    // Clears the line.
    void Finish();

    // The line's text: `done` of `total` files, `audioSeconds` analysed in
    // `elapsedSeconds`.
    static QString Text(int done, int total, double audioSeconds, double elapsedSeconds);

private:
    std::FILE* m_err;
    int m_total;
    int m_done = 0;
    double m_audioSeconds = 0.0;
    Clock::time_point m_start;
    Clock::time_point m_lastShown;
    int m_shownWidth = 0;
};
