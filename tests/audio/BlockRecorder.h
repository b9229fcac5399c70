#pragma once
// Records what the capture thread hands on: a copy of each block and its
// offset in the sample area (up to the capacity reserved, so it never
// reallocates on that thread), and the open and loss notices. A test can wait
// for a number of blocks.
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
    using Block = std::array<std::int16_t, 1024>;
    explicit CBlockRecorder(std::size_t capacity = 128)
    {
        m_blocks.reserve(capacity);
        m_offsets.reserve(capacity);
    }
    void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) override
    {
        std::lock_guard lock(m_lock);
        if (m_blocks.size() < m_blocks.capacity()) {
            std::memcpy(m_blocks.emplace_back().data(), block, sizeof(Block));
            m_offsets.push_back(static_cast<long>(block - sampleArea));
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
    std::vector<Block> Blocks()
    {
        std::lock_guard lock(m_lock);
        return m_blocks;
    }
    std::vector<long> Offsets()
    {
        std::lock_guard lock(m_lock);
        return m_offsets;
    }
    std::vector<int> FirstLeft()
    {
        std::vector<int> left;
        for (const Block& b : Blocks())
            left.push_back(b[0]);
        return left;
    }
    std::atomic<int> m_nLosses { 0 };
    std::atomic<int> m_nOpens { 0 };

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Block> m_blocks;
    std::vector<long> m_offsets;
    int m_nCount = 0;
};
