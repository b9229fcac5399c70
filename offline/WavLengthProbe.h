#pragma once
// Reads what a WAVE file's header says about its length and what the file
// really holds. The sound file library quietly shortens a file whose data
// chunk claims more bytes than follow it (a copy or a recording that was
// cut off), so the reader alone cannot tell that the file ended early.
//
// Plain functions, any thread.
#include <QString>

class CWavLengthProbe {
public:
    struct Length {
        long long declaredFrames = 0; // as the data chunk's size says
        long long presentFrames = 0;  // as the bytes after it hold
    };

    // True for a RIFF WAVE file whose header states its data length;
    // false for anything else, or a header that leaves the length open
    // (0 or 0xFFFFFFFF, as a writer to a pipe leaves it).
    static bool Probe(const QString& path, Length& length);
};
