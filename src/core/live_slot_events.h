#pragma once

#include <optional>
#include <string>

#include "core/slot_event.h"
#include "core/slot_record.h"

namespace oskel {

// A live source (a camera or a network stream) has no length: it has no in and out points,
// plays forwards only and at its own speed. The events that would need any of these are
// refused, with what the status line says; a trigger at a frequency triggers it at its own.
// `event` names a loaded slot holding a live source.
std::optional<std::string> liveSlotRefusal(const TSlotEvent& event);

// The event as a live slot takes it.
TSlotEvent liveSlotEvent(const TSlotEvent& event, const TPlayAvistruct& slot);

} // namespace oskel
