#include "playback/transport.h"

#include <cmath>

#include "core/pan_law.h"
#include "core/rounding.h"
#include "core/slot_sound.h"

namespace oskel {

namespace {

constexpr std::uint32_t kAdvanceGuardMs = 200;
constexpr int kAutoAdvanceSegment = 8;

bool setPosition(const std::shared_ptr<SoundBuffer>& buffer, std::int64_t position)
{
    try {
        if (!buffer) {
            return false;
        }
        buffer->setPosition(position);
        return true;
    } catch (const SoundError&) {
        return false;
    }
}

} // namespace

Transport::Transport(Performance& performance, EventSink& events, SyncRestarter restartSync,
    Clock clock, std::uint32_t seed)
    : m_performance(performance)
    , m_events(events)
    , m_restartSync(std::move(restartSync))
    , m_clock(std::move(clock))
    , m_random(seed)
{
}

int Transport::random(int count)
{
    return count > 0 ? std::uniform_int_distribution<int>(0, count - 1)(m_random) : 0;
}

bool Transport::ApplyTransport(const TPlayAvistruct& snapshot, std::int64_t& cursor, int slot)
{
    // The cursor is a 32-bit buffer position.
    cursor = static_cast<std::uint32_t>(cursor);
    return snapshot.Chop ? chopRules(snapshot, cursor, slot) : normalRules(snapshot, cursor, slot);
}

bool Transport::jumpTo(const TPlayAvistruct& snapshot, std::int64_t position, std::int64_t& cursor)
{
    const bool moved = setPosition(activeBuffer(snapshot), position);
    cursor = position;
    if (snapshot.ReSync && m_restartSync) {
        m_restartSync(false);
    }
    return moved;
}

bool Transport::stopBuffer(const TPlayAvistruct& snapshot)
{
    try {
        if (const auto buffer = activeBuffer(snapshot)) {
            buffer->stop();
            return true;
        }
    } catch (const SoundError&) {
    }
    return false;
}

bool Transport::normalRules(const TPlayAvistruct& snapshot, std::int64_t& cursor, int slot)
{
    const GlobalState& globals = m_performance.globals();
    const std::int64_t inPoint = snapshot.InPoint;
    const std::int64_t outPoint = snapshot.OutPoint;
    const std::int64_t length = snapshot.Length;
    const std::int64_t m = margin(snapshot);
    if ((inPoint == 0 && outPoint == length && !globals.AutoAdvance && !snapshot.ReSync)
        || snapshot.Paused) {
        return true;
    }
    if (snapshot.Direction == 1) {
        if (cursor >= outPoint - m) {
            if (globals.AutoAdvance) {
                AdvanceClip(slot);
                return true;
            }
            return snapshot.Looping ? jumpTo(snapshot, inPoint, cursor) : stopBuffer(snapshot);
        }
        if (cursor < inPoint - m) {
            return jumpTo(snapshot, inPoint, cursor);
        }
        if (globals.AutoAdvance && m_performance.slot(slot).AudioPosition > cursor) {
            AdvanceClip(slot); // the looping buffer wrapped since the last tick
        }
        return true;
    }
    const std::int64_t inSeenBackwards = length - inPoint;
    const std::int64_t outSeenBackwards = length - outPoint;
    if (cursor >= inSeenBackwards - m) {
        return snapshot.Looping ? jumpTo(snapshot, outSeenBackwards, cursor) : stopBuffer(snapshot);
    }
    if (cursor < outSeenBackwards - m) {
        return jumpTo(snapshot, outSeenBackwards, cursor);
    }
    return true;
}

bool Transport::chopRules(const TPlayAvistruct& snapshot, std::int64_t& cursor, int slot)
{
    TPlayAvistruct& live = m_performance.slot(slot);
    const double inPoint = snapshot.InPoint;
    const std::int64_t length = snapshot.Length;
    const int segments = snapshot.ChopSegments;
    const double g = (static_cast<double>(snapshot.OutPoint) - inPoint) / segments;
    if (segments < 1 || !(g > 0.0)) {
        return true; // no selection to cut
    }
    // Positions are far below 2^53 bytes, so doubles hold them exactly.
    const auto m = static_cast<double>(margin(snapshot));
    const auto c = static_cast<double>(cursor);
    const auto end = static_cast<double>(length);
    const int segment = snapshot.ChopSegment;
    if (snapshot.Direction == 1) {
        if (segment == -1) {
            live.ChopSegment = static_cast<std::int32_t>((c - inPoint) / g) + 1;
            return true;
        }
        if (c < segment * g + inPoint - m) {
            return true;
        }
        if (m_performance.globals().AutoAdvance && segment == kAutoAdvanceSegment) {
            AdvanceClip(slot);
        }
        const int next = random(segments) + 1;
        const std::int64_t position = roundHalfEven((next - 1) * g + inPoint);
        const bool moved = setPosition(live.ForwardBuffer, position);
        if (moved) {
            live.ChopSegment = next;
        }
        cursor = position;
        return moved;
    }
    if (segment == -1) {
        live.ChopSegment = static_cast<std::int32_t>((end - c - inPoint) / g) + 1;
        return true;
    }
    if (c < end - ((segment - 1) * g + inPoint) - m || segments < 2) {
        return true;
    }
    // Backwards the last segment is never chosen.
    const int next = random(segments - 1) + 1;
    const std::int64_t position = length - roundHalfEven(next * g + inPoint);
    const bool moved = setPosition(live.BackwardBuffer, position);
    if (moved) {
        live.ChopSegment = next;
    }
    cursor = position;
    return moved;
}

int Transport::nextSlot(int slot)
{
    const bool randomly = m_performance.globals().RandomAdvance;
    const auto step = [&](int current) {
        const int next = randomly ? random(kSlotCount) + 1 : current + 1;
        return next > kSlotCount ? 1 : next;
    };
    int next = step(slot);
    // Random picks give up after a while and take the slot itself, as a full round does.
    for (int tries = 0; !m_performance.slot(next).Loaded; ++tries) {
        next = step(next);
        if (next == slot || tries > 10 * kSlotCount) {
            return slot;
        }
    }
    return next;
}

bool Transport::AdvanceClip(int slot)
{
    TPlayAvistruct& ending = m_performance.slot(slot);
    if (ending.InstallationMode && !ending.Shown) {
        return false;
    }
    const std::uint32_t now = m_clock();
    if (ending.AdvanceTick != 0 && now - ending.AdvanceTick < kAdvanceGuardMs) {
        return false;
    }
    m_events.ProcessEvent(TSlotEvent { 10, 0, 0, slot });
    const int next = nextSlot(slot);
    TPlayAvistruct& starting = m_performance.slot(next);
    starting.AdvanceTick = now;
    m_events.ProcessEvent(
        TSlotEvent { 0, starting.Mute ? kMutedVolume : starting.Volume, starting.Balance, next });
    return true;
}

} // namespace oskel
