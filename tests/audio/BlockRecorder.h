#pragma once
// Records what the capture thread hands on: a copy of each block and its
// offset in the sample area (up to the capacity reserved, so it never
// reallocates on that thread), and the open and loss notices.
#include "audio/BlockSink.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

class CBlockRecorder : public IBlockSink {
public:
    struct Record {
        long offset;
        std::array<std::int16_t, 1024> samples;
    };
    CBlockRecorder() { m_records.reserve(128); }
    void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) override
    {
        std::lock_guard lock(m_lock);
        if (m_records.size() < m_records.capacity()) {
            Record& r = m_records.emplace_back(Record { static_cast<long>(block - sampleArea), {} });
            std::memcpy(r.samples.data(), block, sizeof r.samples);
        }
        ++m_nCount;
        m_changed.notify_all();
    }
    void OnInputLost() override { ++m_nLosses; }
    void OnInputOpened() override { ++m_nOpens; }
    bool WaitFor(int count, std::chrono::seconds timeout)
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, timeout, [&] { return m_nCount >= count; });
    }
    std::vector<Record> Records()
    {
        std::lock_guard lock(m_lock);
        return m_records;
    }
    std::vector<long> Offsets() { return Each([](const Record& r) { return r.offset; }); }
    std::vector<long> FirstLeft() { return Each([](const Record& r) { return long { r.samples[0] }; }); }
    template <typename Field> std::vector<long> Each(Field field)
    {
        std::vector<long> out;
        for (const Record& r : Records())
            out.push_back(field(r));
        return out;
    }
    std::atomic<int> m_nLosses { 0 }, m_nOpens { 0 };

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Record> m_records;
    int m_nCount = 0;
};
