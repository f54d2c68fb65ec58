#include "platform/midi_input_queue.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace oskel {

MidiInputQueue::MidiInputQueue(std::size_t capacity, std::size_t sysexBlocks)
    : m_items(capacity)
    , m_freeBlocks(std::min<std::size_t>(sysexBlocks, std::numeric_limits<std::int16_t>::max()))
    , m_blocks(std::make_unique<std::uint8_t[]>(m_freeBlocks.capacity() * kMaxSysexBytes))
{
    clear();
}

void MidiInputQueue::clear() noexcept
{
    m_items.clear();
    m_freeBlocks.clear();
    for (std::size_t index = 0; index < m_freeBlocks.capacity(); ++index) {
        m_freeBlocks.push(static_cast<std::int16_t>(index));
    }
    m_heldBlock = -1;
    m_lost.store(0);
    m_wakePending.store(false);
}

std::uint8_t* MidiInputQueue::block(std::int16_t index) const
{
    return m_blocks.get() + static_cast<std::size_t>(index) * kMaxSysexBytes;
}

bool MidiInputQueue::put(const MidiMessage& message) noexcept
{
    Item item { message.status, message.data1, message.data2, message.sysexTruncated,
        message.timeStamp, 0, -1 };
    bool accepted = !m_items.full();
    if (accepted && message.isSysex()) {
        accepted = m_freeBlocks.pop(item.block);
        if (accepted) {
            const std::size_t length = std::min(message.sysex.size(), kMaxSysexBytes);
            std::copy_n(message.sysex.data(), length, block(item.block));
            item.sysexLength = static_cast<std::uint16_t>(length);
            item.sysexTruncated = message.sysexTruncated || length < message.sysex.size();
        }
    }
    if (accepted) {
        [[maybe_unused]] const bool pushed = m_items.push(item);
        assert(pushed);
    } else {
        m_lost.fetch_add(1);
    }
    wake();
    return accepted;
}

void MidiInputQueue::wake() noexcept
{
    if (m_wakePending.exchange(true) || !m_wake) {
        return;
    }
    try {
        m_wake();
    } catch (...) {
        // The owner's failure to wake must not reach the driver; the next wake-up comes with
        // the next message once the main thread has emptied the queue.
        m_wakePending.store(false);
    }
}

std::optional<MidiMessage> MidiInputQueue::take() noexcept
{
    if (m_heldBlock >= 0) {
        m_freeBlocks.push(m_heldBlock);
        m_heldBlock = -1;
    }
    Item item;
    if (!m_items.pop(item)) {
        // Re-arm the wake-up, then look again for a message put meanwhile without one.
        m_wakePending.exchange(false);
        if (!m_items.pop(item)) {
            return std::nullopt;
        }
    }
    MidiMessage message { item.status, item.data1, item.data2, item.timeStamp, {},
        item.sysexTruncated };
    if (item.block >= 0) {
        message.sysex = std::span<const std::uint8_t>(block(item.block), item.sysexLength);
        m_heldBlock = item.block;
    }
    return message;
}

} // namespace oskel
