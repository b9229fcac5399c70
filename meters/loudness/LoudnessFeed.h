#pragma once
// The capture side of the loudness meter: the capture thread hands it every
// captured block (interleaved 16-bit stereo) while the meter is on, and gets
// back a CLoudnessSnapshot to put into the block's packet.
//
// The measurement runs in Histogram mode, so its memory is fixed when the
// device opens however long the program runs. Processing a block never
// allocates: a reset (the user's, or switching the meter on again) is
// served by swapping in a fresh state the UI thread built beforehand; the
// state it replaces goes back to the UI thread to be freed. The hand-over
// uses two single-slot mailboxes (spare, retired), each filled by one
// thread and emptied by the other.
//
// Threads: Open, Close and ProcessBlock on the capture thread only (Open
// allocates, as opening a device does); SetOn, RequestReset and Collect on
// the UI thread only; IsOn any thread.
#include "audio/MeterSinks.h"
#include "meters/loudness/LoudnessModel.h"
#include "meters/loudness/LoudnessSnapshot.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

class CLoudnessFeed : public ILoudnessFeed {
public:
    static constexpr unsigned kChannels = 2;

    CLoudnessFeed() = default;
    ~CLoudnessFeed() override;
    CLoudnessFeed(const CLoudnessFeed&) = delete;
    CLoudnessFeed& operator=(const CLoudnessFeed&) = delete;

    // Capture thread: the device opened or changed its rate; the
    // measurement starts again. False when the rate is not usable.
    bool Open(unsigned long rate) override;
    void Close();

    // Capture thread: measures one block of `frames` interleaved stereo
    // frames. When the meter is on, fills `out` and returns true.
    bool ProcessBlock(const std::int16_t* samples, std::size_t frames, CLoudnessSnapshot& out) override;

    // UI thread. Switching on again starts the measurement afresh.
    void SetOn(bool on);
    bool IsOn() const { return m_bOn.load(std::memory_order_relaxed); }
    // Asks the capture thread to start the measurement again at its next block.
    void RequestReset();
    // UI thread, at display rate: frees a state the capture thread gave
    // back and prepares the state a pending reset needs.
    void Collect();

private:
    bool ServeReset();
    CLoudnessModel* TakeSpareForCurrentRate();

    // Capture thread only.
    CLoudnessModel m_live;
    std::uint32_t m_nResetCount = 0;
    std::uint32_t m_nResetsServedLocal = 0;
    // The last reading: loudness values move only when a 100 ms hop closes,
    // so between hops only the peaks are read again.
    CLoudnessSnapshot m_last;

    // Relaxed: the capture thread only decides from it whether to measure.
    std::atomic<bool> m_bOn { false };
    // The device rate, published by Open for the UI thread's spare states.
    std::atomic<unsigned long> m_nRate { 0 };
    // Resets asked for (UI increments) and served (capture stores the
    // request count it served); a reset is pending while they differ.
    std::atomic<std::uint32_t> m_nResetsRequested { 0 };
    std::atomic<std::uint32_t> m_nResetsServed { 0 };
    // Mailboxes: the UI thread fills m_pSpare and empties m_pRetired; the
    // capture thread does the opposite.
    std::atomic<CLoudnessModel*> m_pSpare { nullptr };
    std::atomic<CLoudnessModel*> m_pRetired { nullptr };
};
