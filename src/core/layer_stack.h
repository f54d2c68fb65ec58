#pragma once

#include <array>
#include <functional>
#include <mutex>

#include "core/slot_number.h"

namespace oskel {

// The drawing order of the sixteen slots: entry 0 is the bottom layer, entry 15 the top.
// Guarded by its own lock, which is only ever held for a few instructions: the audio command
// thread brings triggered slots to the front, the main thread reorders, and the frame thread
// takes a copy at the start of each tick.
class LayerStack {
public:
    using Order = std::array<int, kSlotCount>;
    // Called with the new order while the lock is held; it must only hand the order on.
    using Listener = std::function<void(const Order&)>;

    LayerStack();

    Order order() const;
    // Accepts only a permutation of the slot numbers 1..16; returns false otherwise.
    bool setOrder(const Order& order);
    // Makes the slot the top layer, the layers above it moving down one place. Returns false
    // when the slot was already on top or is not in the stack.
    bool bringToFront(int slot);
    // Puts the slot at a position, 1 the bottom layer and 16 the top; the layers between its
    // old and new place move one place towards its old place. Returns false when the slot or
    // the position is out of range or the slot is there already.
    bool moveTo(int slot, int position);
    // The slot's position, 1..16; 0 for a number that is no slot.
    int positionOf(int slot) const;

    void setListener(Listener listener);

    static Order initialOrder();
    static bool isPermutation(const Order& order);

private:
    mutable std::mutex m_lock;
    Order m_order;
    Listener m_listener;
};

} // namespace oskel
