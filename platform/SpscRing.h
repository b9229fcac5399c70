#pragma once
// A bounded single-producer single-consumer ring. The producer never waits:
// when the ring is full the item is dropped and counted. Slots are written in
// place (BeginWrite/EndWrite) so large packets are never copied twice.
// Producer side: one thread. Consumer side: one other thread.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

template <typename T>
class CSpscRing {
public:
    explicit CSpscRing(std::size_t capacity) : m_nCapacity(capacity + 1), m_slots(new T[capacity + 1]) {}
    CSpscRing(const CSpscRing&) = delete;
    CSpscRing& operator=(const CSpscRing&) = delete;

    // Producer: the slot to fill next, or nullptr when the ring is full (the
    // drop is counted).
    T* BeginWrite()
    {
        const std::size_t write = m_nWrite.load(std::memory_order_relaxed);
        // Acquire: the consumer's release of m_nRead means it is done with the
        // slot we are about to overwrite.
        if (Next(write) == m_nRead.load(std::memory_order_acquire)) {
            m_nDropped.fetch_add(1, std::memory_order_relaxed);
            return nullptr;
        }
        return &m_slots[write];
    }
    // Producer: publishes the slot returned by BeginWrite.
    void EndWrite()
    {
        // Release: the slot's contents become visible before the new index.
        m_nWrite.store(Next(m_nWrite.load(std::memory_order_relaxed)), std::memory_order_release);
    }
    bool Push(const T& item)
    {
        T* slot = BeginWrite();
        if (!slot)
            return false;
        *slot = item;
        EndWrite();
        return true;
    }

    // Consumer: the number of published slots waiting to be read.
    std::size_t Waiting() const
    {
        const std::size_t read = m_nRead.load(std::memory_order_relaxed);
        const std::size_t write = m_nWrite.load(std::memory_order_acquire);
        return write >= read ? write - read : write + m_nCapacity - read;
    }
    // Consumer: the oldest published slot, or nullptr when empty.
    const T* BeginRead()
    {
        const std::size_t read = m_nRead.load(std::memory_order_relaxed);
        // Acquire: pairs with EndWrite's release, so the slot is fully written.
        if (read == m_nWrite.load(std::memory_order_acquire))
            return nullptr;
        return &m_slots[read];
    }
    // Consumer: gives the slot from BeginRead back to the producer.
    void EndRead()
    {
        // Release: our reads of the slot happen before the producer reuses it.
        m_nRead.store(Next(m_nRead.load(std::memory_order_relaxed)), std::memory_order_release);
    }

    std::size_t Capacity() const { return m_nCapacity - 1; }
    std::uint64_t Dropped() const { return m_nDropped.load(std::memory_order_relaxed); }

private:
    std::size_t Next(std::size_t i) const { return i + 1 == m_nCapacity ? 0 : i + 1; }

    const std::size_t m_nCapacity;
    std::unique_ptr<T[]> m_slots;
    alignas(64) std::atomic<std::size_t> m_nWrite { 0 };
    alignas(64) std::atomic<std::size_t> m_nRead { 0 };
    std::atomic<std::uint64_t> m_nDropped { 0 };
};
