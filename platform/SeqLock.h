#pragma once
// One small value published by one thread and read by others without a
// lock: the writer never waits; a read that overlaps a write reports
// failure instead of a torn value, and the reader simply tries again at its
// next chance. The value is held as atomic words, so an overlapped read is
// discarded, never undefined behaviour.
// Write: one thread only. Read: any thread.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename T>
class CSeqLock {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    void Write(const T& value)
    {
        const std::uint64_t seq = m_nSeq.load(std::memory_order_relaxed);
        // An odd count marks a write under way.
        m_nSeq.store(seq + 1, std::memory_order_relaxed);
        std::uint32_t words[kWords] = {};
        std::memcpy(words, &value, sizeof(T));
        // Release: a reader that sees any new word also sees the odd count
        // when it looks again, and discards what it read.
        for (std::size_t i = 0; i < kWords; ++i)
            m_words[i].store(words[i], std::memory_order_release);
        // Release: the words are complete before the count is even again.
        m_nSeq.store(seq + 2, std::memory_order_release);
    }

    // False when nothing was written yet or a write overlapped the read.
    // `seq` tells one written value from the next (it grows with each write).
    bool Read(T& out, std::uint64_t& seq) const
    {
        // Acquire: pairs with the release of the even count, so the words
        // read below are at least that write's.
        const std::uint64_t before = m_nSeq.load(std::memory_order_acquire);
        if (before == 0 || (before & 1) != 0)
            return false;
        std::uint32_t words[kWords];
        // Acquire: a word from a later write brings its odd count with it.
        for (std::size_t i = 0; i < kWords; ++i)
            words[i] = m_words[i].load(std::memory_order_acquire);
        if (m_nSeq.load(std::memory_order_relaxed) != before)
            return false;
        std::memcpy(&out, words, sizeof(T));
        seq = before;
        return true;
    }

private:
    static constexpr std::size_t kWords = (sizeof(T) + sizeof(std::uint32_t) - 1) / sizeof(std::uint32_t);

    std::atomic<std::uint64_t> m_nSeq { 0 };
    std::atomic<std::uint32_t> m_words[kWords] = {};
};
