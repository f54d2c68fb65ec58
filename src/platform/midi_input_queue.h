#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/midi_message.h"
#include "platform/spsc_ring.h"

namespace oskel {

// Carries input messages from the MIDI driver's thread to the main thread: a ring of
// fixed-size items and a set of system-exclusive blocks that circulate between the two
// threads. Everything is allocated at construction, so a put never allocates, locks or waits.
//
// A put that finds the ring full, or no free block for system-exclusive data, is refused and
// the message is lost; the lost messages are counted for the main thread to report.
//
// The wake-up: after a put, accepted or refused, the queue calls the owner's wake function
// unless an earlier call is still unanswered, so a burst of messages costs one wake-up. The
// main thread answers it by taking messages until take() finds none, which makes the next put
// call wake again; then it reads takeLost(). Nothing is left unseen: a message put while the
// main thread empties the queue is either taken in that round or wakes it again.
class MidiInputQueue {
public:
    static constexpr std::size_t kDefaultCapacity = 1024;
    static constexpr std::size_t kDefaultSysexBlocks = 16;

    explicit MidiInputQueue(
        std::size_t capacity = kDefaultCapacity, std::size_t sysexBlocks = kDefaultSysexBlocks);
    MidiInputQueue(const MidiInputQueue&) = delete;
    MidiInputQueue& operator=(const MidiInputQueue&) = delete;

    // Called on the producing thread; it must not block for long (posting to the main
    // thread's queue is the expected use). Set before the producer starts.
    void setWake(std::function<void()> wake) { m_wake = std::move(wake); }

    // The producing thread (the driver's). Copies the message, system-exclusive bytes
    // included; false when it was refused and lost.
    bool put(const MidiMessage& message) noexcept;

    // The consuming thread (the main thread). The next message, oldest first; its sysex bytes
    // stay valid until the next take or clear.
    std::optional<MidiMessage> take() noexcept;
    // The consuming thread: the messages lost since the last call.
    std::uint32_t takeLost() noexcept { return m_lost.exchange(0); }

    // Any thread: how many messages wait.
    std::size_t size() const noexcept { return m_items.size(); }
    std::size_t capacity() const noexcept { return m_items.capacity(); }

    // Only while neither thread uses the queue: empties it and forgets what was lost.
    void clear() noexcept;

private:
    struct Item {
        std::uint8_t status = 0;
        std::uint8_t data1 = 0;
        std::uint8_t data2 = 0;
        bool sysexTruncated = false;
        std::uint32_t timeStamp = 0;
        std::uint16_t sysexLength = 0;
        std::int16_t block = -1; // the system-exclusive block it holds, -1 for none
    };
    static_assert(kMaxSysexBytes <= UINT16_MAX);

    void wake() noexcept;
    std::uint8_t* block(std::int16_t index) const;

    SpscRing<Item> m_items;
    // Blocks the producer may fill: it pops them, the consumer pushes them back.
    SpscRing<std::int16_t> m_freeBlocks;
    const std::unique_ptr<std::uint8_t[]> m_blocks;
    std::int16_t m_heldBlock = -1; // the consumer's: the block of the last message taken
    std::atomic<std::uint32_t> m_lost = 0;
    std::atomic<bool> m_wakePending = false;
    std::function<void()> m_wake;
};

} // namespace oskel
