#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

namespace oskel {

// Packed short messages on their way from the MIDI driver's thread to the main thread: a
// fixed ring with one producer and one consumer. Neither side takes a lock or allocates. A
// message is packed as the driver delivers it: status in the low byte, data 1 in the next,
// data 2 in the third.
class MidiHandOff {
public:
    static constexpr std::size_t kCapacity = 1024; // a power of two

    // Producer thread. False, dropping the message, when the ring is full.
    bool push(std::uint32_t packed) noexcept
    {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail - m_head.load(std::memory_order_acquire) == kCapacity) {
            m_dropped.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        m_ring[tail & (kCapacity - 1)] = packed;
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer thread. The oldest message, false when there is none.
    bool pop(std::uint32_t& packed) noexcept
    {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire)) {
            return false;
        }
        packed = m_ring[head & (kCapacity - 1)];
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

    // Any thread: how many messages a full ring turned away.
    std::uint64_t dropped() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    static constexpr std::size_t kLine = 64;
    std::array<std::uint32_t, kCapacity> m_ring {};
    alignas(kLine) std::atomic<std::size_t> m_head { 0 }; // the consumer's
    alignas(kLine) std::atomic<std::size_t> m_tail { 0 }; // the producer's
    alignas(kLine) std::atomic<std::uint64_t> m_dropped { 0 };
};

} // namespace oskel
