#pragma once
// The analyzer settings the capture thread reads while the UI thread changes
// them: the on flag, the input mode and the window type. Each is a single
// atomic word; the UI thread writes, the capture thread reads. Relaxed order
// suffices: each value stands alone and guards no other data (the window
// tables it selects are immutable and built before capture starts).
//
// Threads: setters on the UI thread, getters on any thread.
#include "meters/analyzer/FftIds.h"

#include <atomic>

class CFftCaptureState {
public:
    void SetOn(int on) { m_nOn.store(on != 0 ? 1 : 0, std::memory_order_relaxed); }
    bool IsOn() const { return m_nOn.load(std::memory_order_relaxed) != 0; }

    // Stored as given; the control hands over only valid values.
    void SetInputMode(int mode) { m_nInputMode.store(mode, std::memory_order_relaxed); }
    int InputMode() const { return m_nInputMode.load(std::memory_order_relaxed); }

    void SetWindowType(int type) { m_nWindowType.store(type, std::memory_order_relaxed); }
    int WindowType() const { return m_nWindowType.load(std::memory_order_relaxed); }

private:
    std::atomic<int> m_nOn { 0 };
    std::atomic<int> m_nInputMode { fft::kDefaultInputMode };
    std::atomic<int> m_nWindowType { fft::kDefaultWindowType };
};
