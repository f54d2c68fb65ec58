#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

namespace oskel {

// Composed pictures handed from the frame thread to one thread that sends them on (a stream,
// a virtual camera), through kSlots slots made at construction. Handing over never waits and
// never allocates: when the receiving thread is behind and every slot is taken, the picture
// is dropped and counted. Each hand-over wakes the receiving thread through `wakes`.
class PictureHandover {
public:
    static constexpr std::size_t kSlots = 2;

    struct Picture {
        std::span<const std::uint8_t> bytes;
        std::int64_t frame = 0;
    };

    PictureHandover(std::size_t pictureBytes, std::atomic<std::uint32_t>& wakes);
    PictureHandover(const PictureHandover&) = delete;
    PictureHandover& operator=(const PictureHandover&) = delete;

    // The frame thread: the picture shown at `frame`. `fill(bytes, size)` writes it straight
    // into a free slot and returns false when it has no picture (nothing is handed over
    // then). False when nothing was handed over; a picture that finds no free slot is
    // dropped and counted without calling `fill`.
    template <typename Fill> bool offerAt(std::int64_t frame, Fill&& fill) noexcept
    {
        Slot& slot = m_slots[m_nextFill % kSlots];
        if (slot.state.load(std::memory_order_acquire) != SlotState::Free) {
            m_dropped.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        slot.frame = frame; // a free slot is the frame thread's alone
        if (!fill(slot.bytes.data(), slot.bytes.size())) {
            return false;
        }
        handOver(slot);
        return true;
    }

    // The receiving thread: the oldest picture handed over, valid until release(); null
    // when there is none.
    const Picture* waiting() noexcept;
    // The receiving thread: the picture of waiting() is done with, its slot free again.
    void release() noexcept;

    std::int64_t dropped() const noexcept { return m_dropped.load(std::memory_order_relaxed); }

private:
    enum class SlotState { Free, Filled };
    struct Slot {
        std::vector<std::uint8_t> bytes;
        std::int64_t frame = 0;
        std::atomic<SlotState> state = SlotState::Free;
    };

    void handOver(Slot& slot) noexcept;

    std::array<Slot, kSlots> m_slots;
    std::atomic<std::uint32_t>& m_wakes;
    std::size_t m_nextFill = 0; // the frame thread's
    std::size_t m_nextTaken = 0; // the receiving thread's
    Picture m_taken; // the receiving thread's
    std::atomic<std::int64_t> m_dropped = 0;
};

} // namespace oskel
