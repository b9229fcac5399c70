#pragma once
// What the sample hub needs of the four instruments. The hub lives below the
// instruments, so it sees them only through these interfaces.
//
// Methods marked "capture thread" are called from the capture thread while
// the UI thread runs; their implementations read atomics only. All other
// methods are called on the UI thread only (the hub applies the capture
// thread's results there, packet by packet, in block order).
#include <cstddef>
#include <cstdint>

class QWidget;

constexpr int kBandCount = 128;

// Every instrument's on/off switch, as the hub's AllMetersOff uses it.
class IMeterSwitch {
public:
    virtual ~IMeterSwitch() = default;
    // The state shown (0 while the window is minimised).
    virtual int IsOn() const = 0;
    // Stores the state and shows it in the window's caption.
    virtual void SetOn(int on) = 0;
    // The state the hub counts: while the meter is suspended (its window
    // minimised), the state it will return to. A meter that cannot be
    // suspended counts what it shows.
    virtual int IsSwitchedOn() const { return IsOn(); }
    // Switches the counted state; while suspended only the state the meter
    // returns to changes.
    virtual void SetSwitchedOn(int on) { SetOn(on); }
};

class IPpmSink : public IMeterSwitch {
public:
    virtual ~IPpmSink() = default;
    virtual bool IsOnForCapture() const = 0; // capture thread
    virtual void SetValue(unsigned value, int channel) = 0;
    // One meter tick (the control's WM_TIMER handling, relay included).
    virtual void OnTimer() = 0;
    virtual void ResetBars(int channel, int clearLevel) = 0;
    virtual bool WindowExists() const = 0;
    // The window each tick is relayed to (posted as a QTimerEvent with id 1):
    // the analyzer's display, or nullptr.
    virtual void SetRelay(QWidget* target) = 0;

    // ---- ballistics: the PPM modes that read in dB ----
    // Capture thread: runs the chosen ballistics over one block of `frames`
    // interleaved stereo frames at `rate`. False while the meter reads block
    // peaks (the default); otherwise levels[0..1] get the block's readings
    // (linear, 1.0 = full scale) and `mode` the mode they were measured in.
    virtual bool MeasureForCapture(const std::int16_t* block, int frames, int rate, float* levels, int& mode)
    {
        (void)block, (void)frames, (void)rate, (void)levels, (void)mode;
        return false;
    }
    // One block's readings measured in `mode` (any mode when negative, as
    // for silence), lasting `seconds`. A meter that changed its mode since
    // ignores them; one reading block peaks ignores them too.
    virtual void SetLevels(const float* levels, double seconds, int mode) { (void)levels, (void)seconds, (void)mode; }
};

class IStereoSink : public IMeterSwitch {
public:
    virtual ~IStereoSink() = default;
    virtual bool IsOnForCapture() const = 0; // capture thread
    // Sample step mode 0, 1 or 2 (every frame, every 2nd, every 4th). Capture thread.
    virtual int DecimationForCapture() const = 0;
    virtual void PlotPoint(int left, int right) = 0;
    virtual void EraseAllPoints() = 0;
};

class ICorSink : public IMeterSwitch {
public:
    virtual ~ICorSink() = default;
    virtual bool IsOnForCapture() const = 0; // capture thread
    virtual void ShowCorrelation(double smoothed, double raw) = 0;
};

class IFftSink : public IMeterSwitch {
public:
    virtual ~IFftSink() = default;
    // Feeds one amplitude into bar `bar` (every bar when negative).
    virtual void SetValue(unsigned amplitude, int bar) = 0;
    virtual void ResetBars(int bar, int clearLevel) = 0;
    virtual void SetSampleRate(int rate) = 0;
    virtual bool WindowExists() const = 0;
};

// The correlation estimator's result for one window.
struct CCorReading {
    double smoothed = 0.0;
    double raw = 0.0;
};

// Capture thread only: the correlation estimator, run for every window
// whether the meter is on or off.
class ICorrelationEstimator {
public:
    virtual ~ICorrelationEstimator() = default;
    // `window`: 1024 interleaved stereo frames, left first.
    virtual CCorReading Estimate(const std::int16_t* window) = 0;
};

// Capture thread only: the analyzer's feed and frame step.
class IAnalyzerFeed {
public:
    virtual ~IAnalyzerFeed() = default;
    // `window`: 1024 interleaved stereo frames. Returns true when the bars are
    // due new values, written to bands[0..kBandCount-1].
    virtual bool Feed(const std::int16_t* window, std::uint32_t* bands) = 0;
};

// ---- loudness meter -----------------------------------------------------------

struct CLoudnessSnapshot;

class ILoudnessSink : public IMeterSwitch {
public:
    virtual ~ILoudnessSink() = default;
    // The latest reading of the capture side's measurement.
    virtual void ShowLoudness(const CLoudnessSnapshot& reading) = 0;
    // The input is gone: the momentary and short-term readings have nothing
    // to show; what was integrated (I, LRA, maxima, peaks) stays.
    virtual void ShowNoInput() = 0;
};

// The loudness measurement. The capture thread only asks whether blocks
// are wanted and which generation they belong to; the hub's loudness thread
// opens and measures (see CLoudnessThread).
class ILoudnessFeed {
public:
    virtual ~ILoudnessFeed() = default;
    // Capture thread (atomics only): whether blocks are to be measured.
    virtual bool IsOnForCapture() const = 0;
    // Capture thread (atomics only): counts the fresh starts asked for (the
    // user's reset, switching on again). A block is stamped with the count
    // when it is captured, so a reset takes effect exactly at the first
    // block captured after it, however far the measurement lags behind.
    virtual std::uint32_t Generation() const = 0;
    // Loudness thread: the device opened (or changed its rate): the
    // measurement starts again for blocks of `generation`. May allocate.
    virtual bool Open(unsigned long rate, std::uint32_t generation) = 0;
    // Loudness thread: measures one block of `frames` interleaved stereo
    // frames of `generation` (a newer one starts the measurement afresh
    // first, which may allocate) and fills `reading`. Never allocates
    // otherwise. False while nothing is open.
    virtual bool Measure(const std::int16_t* samples, std::size_t frames, std::uint32_t generation, CLoudnessSnapshot& reading) = 0;
};
