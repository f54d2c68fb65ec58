#include "core/layer_stack.h"

#include <algorithm>

namespace oskel {

LayerStack::LayerStack()
    : m_order(initialOrder())
{
}

LayerStack::Order LayerStack::initialOrder()
{
    Order order {};
    for (int i = 0; i < kSlotCount; ++i) {
        order.at(static_cast<std::size_t>(i)) = i + 1;
    }
    return order;
}

bool LayerStack::isPermutation(const Order& order)
{
    Order sorted = order;
    std::sort(sorted.begin(), sorted.end());
    return sorted == initialOrder();
}

LayerStack::Order LayerStack::order() const
{
    std::lock_guard guard(m_lock);
    return m_order;
}

bool LayerStack::setOrder(const Order& order)
{
    if (!isPermutation(order)) {
        return false;
    }
    std::lock_guard guard(m_lock);
    m_order = order;
    if (m_listener) {
        m_listener(m_order);
    }
    return true;
}

bool LayerStack::bringToFront(int slot)
{
    std::lock_guard guard(m_lock);
    const auto found = std::find(m_order.begin(), m_order.end(), slot);
    if (found == m_order.end() || found == m_order.end() - 1) {
        return false;
    }
    std::rotate(found, found + 1, m_order.end());
    if (m_listener) {
        m_listener(m_order);
    }
    return true;
}

bool LayerStack::moveTo(int slot, int position)
{
    if (position < 1 || position > kSlotCount) {
        return false;
    }
    std::lock_guard guard(m_lock);
    const auto found = std::find(m_order.begin(), m_order.end(), slot);
    const auto target = m_order.begin() + (position - 1);
    if (found == m_order.end() || found == target) {
        return false;
    }
    if (found < target) {
        std::rotate(found, found + 1, target + 1);
    } else {
        std::rotate(target, found, found + 1);
    }
    if (m_listener) {
        m_listener(m_order);
    }
    return true;
}

int LayerStack::positionOf(int slot) const
{
    std::lock_guard guard(m_lock);
    const auto found = std::find(m_order.begin(), m_order.end(), slot);
    return found == m_order.end() ? 0 : static_cast<int>(found - m_order.begin()) + 1;
}

void LayerStack::setListener(Listener listener)
{
    std::lock_guard guard(m_lock);
    m_listener = std::move(listener);
}

} // namespace oskel
