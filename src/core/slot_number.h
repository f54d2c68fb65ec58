#pragma once

namespace oskel {

// Slots are numbered 1..16 everywhere; 0 and -1 mean no slot.
inline constexpr int kSlotCount = 16;
inline constexpr int kNoSlot = -1;

constexpr bool isValidSlot(int slot)
{
    return slot >= 1 && slot <= kSlotCount;
}

} // namespace oskel
