#pragma once
// Recording stand-ins for the four instruments as the hub sees them.
#include "audio/MeterSinks.h"

#include <array>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

class CFakePpm : public IPpmSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; m_onForCapture = on; }
    bool IsOnForCapture() const override { return m_onForCapture.load(); }
    void SetValue(unsigned value, int channel) override { m_events.push_back("value " + std::to_string(channel) + " " + std::to_string(value)); }
    void OnTimer() override { m_events.push_back("tick"); }
    void ResetBars(int channel, int clearLevel) override { m_events.push_back("reset " + std::to_string(channel) + " " + std::to_string(clearLevel)); }
    bool WindowExists() const override { return true; }
    void SetRelay(QWidget*) override {}

    int m_nOn = 0;
    std::atomic<int> m_onForCapture { 0 };
    std::vector<std::string> m_events;
};

class CFakeStereo : public IStereoSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; m_onForCapture = on; }
    bool IsOnForCapture() const override { return m_onForCapture.load(); }
    int DecimationForCapture() const override { return m_decimation.load(); }
    void PlotPoint(int left, int right) override { m_points.push_back({ left, right }); }
    void EraseAllPoints() override { ++m_nErased; }

    int m_nOn = 0;
    std::atomic<int> m_onForCapture { 0 };
    std::atomic<int> m_decimation { 0 };
    std::vector<std::array<int, 2>> m_points;
    int m_nErased = 0;
};

class CFakeCor : public ICorSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; m_onForCapture = on; }
    bool IsOnForCapture() const override { return m_onForCapture.load(); }
    void ShowCorrelation(double smoothed, double raw) override { m_shown.push_back({ smoothed, raw }); }

    int m_nOn = 0;
    std::atomic<int> m_onForCapture { 0 };
    std::vector<std::array<double, 2>> m_shown;
};

class CFakeFft : public IFftSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; }
    void SetValue(unsigned amplitude, int bar) override { m_values.push_back({ static_cast<int>(amplitude), bar }); }
    void ResetBars(int bar, int clearLevel) override { m_resets.push_back({ bar, clearLevel }); }
    void SetSampleRate(int rate) override { m_rates.push_back(rate); }
    bool WindowExists() const override { return true; }

    int m_nOn = 0;
    std::vector<std::array<int, 2>> m_values;
    std::vector<std::array<int, 2>> m_resets;
    std::vector<int> m_rates;
};

// Keeps a copy of every window it is given and returns a fixed reading.
class CFakeEstimator : public ICorrelationEstimator {
public:
    CCorReading Estimate(const std::int16_t* window) override
    {
        std::memcpy(m_lastWindow.data(), window, sizeof(std::int16_t) * m_lastWindow.size());
        ++m_nWindows;
        return { 0.25, 0.5 };
    }
    std::array<std::int16_t, 2048> m_lastWindow {};
    int m_nWindows = 0;
};

// Hands out bars on every second window: band i gets i + the window count.
class CFakeFeed : public IAnalyzerFeed {
public:
    bool Feed(const std::int16_t*, std::uint32_t* bands) override
    {
        ++m_nWindows;
        if (m_nWindows % 2)
            return false;
        for (int i = 0; i < kBandCount; ++i)
            bands[i] = static_cast<std::uint32_t>(i + m_nWindows);
        return true;
    }
    int m_nWindows = 0;
};
