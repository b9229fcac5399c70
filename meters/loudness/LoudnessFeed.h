#pragma once
// The loudness meter's measurement of the captured blocks (interleaved
// 16-bit stereo) while the meter is on, read as a CLoudnessSnapshot.
//
// The measurement runs in Histogram mode, so its memory is fixed when the
// device opens however long the program runs. Measuring a block never
// allocates. A fresh start (the user's reset, switching the meter on again)
// is asked for on the UI thread by counting a generation; the measuring
// thread starts afresh at the first block stamped with the new count,
// usually by swapping in a state the UI thread built beforehand (the state
// it replaces goes back to the UI thread to be freed), otherwise by
// building one itself. The hand-over uses two single-slot mailboxes
// (spare, retired), each filled by one thread and emptied by the other.
//
// Threads: Open, Measure, ProcessBlock and Close on one measuring thread at
// a time (live, the hub's loudness thread; tests and benchmarks call them
// directly); SetOn, RequestReset and Collect on the UI thread only; IsOn,
// IsOnForCapture, Generation and IsCurrent on any thread.
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

    // Measuring thread: the device opened or changed its rate; the
    // measurement starts again. False when the rate is not usable.
    bool Open(unsigned long rate, std::uint32_t generation) override;
    // The same for the generation asked for so far.
    bool Open(unsigned long rate) { return Open(rate, Generation()); }
    void Close();

    // Measuring thread: one block of `frames` interleaved stereo frames
    // stamped with `generation`; fills `out`.
    bool Measure(const std::int16_t* samples, std::size_t frames, std::uint32_t generation, CLoudnessSnapshot& out) override;
    // Measuring thread, for a caller that captures and measures on one
    // thread: the block counts while the meter is on (then `out` is filled
    // and the result true), in the generation asked for so far.
    bool ProcessBlock(const std::int16_t* samples, std::size_t frames, CLoudnessSnapshot& out);

    // UI thread. Switching on again starts the measurement afresh.
    void SetOn(bool on);
    bool IsOn() const { return m_bOn.load(std::memory_order_relaxed); }
    bool IsOnForCapture() const override { return IsOn(); }
    // Asks for a fresh start from the next captured block on.
    void RequestReset();
    // UI thread, at display rate: frees a state the measuring thread gave
    // back and prepares the state a pending reset needs.
    void Collect();

    std::uint32_t Generation() const override { return m_nResetsRequested.load(std::memory_order_acquire); }
    // Whether `reading` follows the latest fresh start asked for.
    bool IsCurrent(const CLoudnessSnapshot& reading) const { return reading.generation == Generation(); }

private:
    void StartAfresh(std::uint32_t generation);
    CLoudnessModel* TakeSpareForCurrentRate();
    void NoteServed(std::uint32_t generation);

    // Measuring thread only.
    CLoudnessModel m_live;
    std::uint32_t m_nResetCount = 0;
    std::uint32_t m_nGeneration = 0;
    // The last reading: loudness values move only when a 100 ms hop closes,
    // so between hops only the peaks are read again.
    CLoudnessSnapshot m_last;

    // Relaxed: the capture thread only decides from it whether to measure.
    std::atomic<bool> m_bOn { false };
    // The device rate, published by Open for the UI thread's spare states.
    std::atomic<unsigned long> m_nRate { 0 };
    // Fresh starts asked for (UI increments) and served (the measuring
    // thread stores the generation it started); one is pending while they differ.
    std::atomic<std::uint32_t> m_nResetsRequested { 0 };
    std::atomic<std::uint32_t> m_nResetsServed { 0 };
    // Mailboxes: the UI thread fills m_pSpare and empties m_pRetired; the
    // measuring thread does the opposite.
    std::atomic<CLoudnessModel*> m_pSpare { nullptr };
    std::atomic<CLoudnessModel*> m_pRetired { nullptr };
};
