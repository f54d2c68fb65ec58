#include "recording/picture_handover.h"

namespace oskel {

PictureHandover::PictureHandover(std::size_t pictureBytes, std::atomic<std::uint32_t>& wakes)
    : m_wakes(wakes)
{
    for (Slot& slot : m_slots) {
        slot.bytes.resize(pictureBytes);
    }
}

void PictureHandover::handOver(Slot& slot) noexcept
{
    slot.state.store(SlotState::Filled, std::memory_order_release);
    ++m_nextFill;
    m_wakes.fetch_add(1, std::memory_order_release);
    m_wakes.notify_one();
}

const PictureHandover::Picture* PictureHandover::waiting() noexcept
{
    Slot& slot = m_slots[m_nextTaken % kSlots];
    if (slot.state.load(std::memory_order_acquire) != SlotState::Filled) {
        return nullptr;
    }
    m_taken = { slot.bytes, slot.frame };
    return &m_taken;
}

void PictureHandover::release() noexcept
{
    m_slots[m_nextTaken % kSlots].state.store(SlotState::Free, std::memory_order_release);
    ++m_nextTaken;
}

} // namespace oskel
