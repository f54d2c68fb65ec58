#pragma once

#include <cstdint>
#include <functional>
#include <random>

#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel {

// Where in its clip each playing slot is: the per-tick rules that keep the play cursor inside
// the in..out selection (looping, stopping, jumping between chop segments) and the automatic
// advance to the next slot. Main thread (the frame thread calls in synchronously).
class Transport {
public:
    using Clock = std::function<std::uint32_t()>; // milliseconds, wrapping
    using SyncRestarter = std::function<void(bool hide)>;

    Transport(Performance& performance, EventSink& events, SyncRestarter restartSync, Clock clock,
        std::uint32_t seed);

    // The per-tick rules for slot `slot`, deciding from its snapshot record; they may move the
    // play position of the live buffer and then replace `cursor` by the new position. False
    // when a buffer refused a position or a stop (the cursor is replaced all the same).
    bool ApplyTransport(const TPlayAvistruct& snapshot, std::int64_t& cursor, int slot);

    // Releases slot `slot` and triggers the next loaded one (or a random one). False when the
    // slot is hidden in sync mode or advanced less than 200 ms ago.
    bool AdvanceClip(int slot);

    static std::int64_t margin(const TPlayAvistruct& slot) { return slot.BaseFrequency / 10; }

private:
    bool normalRules(const TPlayAvistruct& snapshot, std::int64_t& cursor, int slot);
    bool chopRules(const TPlayAvistruct& snapshot, std::int64_t& cursor, int slot);
    bool jumpTo(const TPlayAvistruct& snapshot, std::int64_t position, std::int64_t& cursor);
    bool stopBuffer(const TPlayAvistruct& snapshot);
    int random(int count);
    int nextSlot(int slot);

    Performance& m_performance;
    EventSink& m_events;
    SyncRestarter m_restartSync;
    Clock m_clock;
    std::mt19937 m_random;
};

} // namespace oskel
