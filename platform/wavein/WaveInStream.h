#pragma once
// One open input device: the queue of buffers it fills and its start, stop,
// reset and close. Made by a driver's Open, handed out as an HWAVEIN.
//
// Threads: AddBuffer may be called from any thread except the driver's own
// (the UI thread primes the queue, the capture thread re-queues). Start, Stop,
// Reset and Close are called by the owner of the handle, one at a time. The
// stream posts its notices to the queue it was opened with.
#include "platform/wavein/WaveInDefs.h"

class IWaveInStream {
public:
    virtual ~IWaveInStream() = default;

    // Queues a prepared buffer to be filled.
    virtual MMRESULT AddBuffer(WAVEHDR* header) = 0;
    virtual MMRESULT Start() = 0;
    // Stops filling; the queued buffers stay queued. When Stop returns the
    // driver no longer touches any buffer.
    virtual MMRESULT Stop() = 0;
    // Stops and returns every queued buffer (the partly filled one first) as
    // data notices.
    virtual MMRESULT Reset() = 0;
    // Ends the stream and posts the close notice. WAVERR_STILLPLAYING while
    // buffers are still queued (reset first).
    virtual MMRESULT Close() = 0;

    // Buffers queued and not yet returned.
    virtual int QueuedBuffers() const = 0;
    // Frames that arrived while no buffer was queued.
    virtual long long OverrunFrames() const = 0;
    // Interruptions of the input so far: each time the driver found no
    // queued buffer, plus every gap the audio system itself reported. Any thread.
    virtual long long DropoutCount() const = 0;
};

using HWAVEIN = IWaveInStream*;
