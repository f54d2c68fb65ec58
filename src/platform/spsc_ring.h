#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <memory>

namespace oskel {

// A fixed-capacity ring between one producer thread and one consumer thread, without locks.
// The items are allocated once, at construction; push and pop copy and never allocate.
template <typename T> class SpscRing {
public:
    explicit SpscRing(std::size_t capacity)
        : m_capacity(capacity)
        , m_items(std::make_unique<T[]>(capacity))
    {
    }
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    std::size_t capacity() const noexcept { return m_capacity; }

    // Producer: false when the ring is full.
    bool push(const T& item) noexcept
    {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail - m_head.load(std::memory_order_acquire) >= m_capacity) {
            return false;
        }
        m_items[tail % m_capacity] = item;
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Producer: whether a push would fail now. Only the producer fills the ring, so room seen
    // here is still there at its next push.
    bool full() const noexcept
    {
        return m_tail.load(std::memory_order_relaxed) - m_head.load(std::memory_order_acquire)
            >= m_capacity;
    }

    // Consumer: false when the ring is empty.
    bool pop(T& item) noexcept
    {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire)) {
            return false;
        }
        item = m_items[head % m_capacity];
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

    // Any thread: the items held at some moment during the call.
    std::size_t size() const noexcept
    {
        const std::size_t head = m_head.load(std::memory_order_acquire);
        const std::size_t tail = m_tail.load(std::memory_order_acquire);
        return std::min(tail - head, m_capacity);
    }

    // Only while neither side runs.
    void clear() noexcept { m_head.store(m_tail.load()); }

private:
    const std::size_t m_capacity;
    const std::unique_ptr<T[]> m_items;
    alignas(64) std::atomic<std::size_t> m_head = 0; // the consumer's next item
    alignas(64) std::atomic<std::size_t> m_tail = 0; // the producer's next place
};

} // namespace oskel
