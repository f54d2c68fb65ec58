#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/control_table.h"
#include "core/performance.h"
#include "platform/osc_message.h"

namespace oskel {

// What OSC clients that subscribed are told: every control whose value changed since they
// were last told, whoever changed it (keys, windows, MIDI, patches, OSC itself), as a message
// to the control's own address with its value. Reads the performance on the main thread.
class OscFeedback {
public:
    // The messages for the controls that changed; after forget, for every control.
    std::vector<OscMessage> changes(const Performance& performance);
    // A new subscriber is told everything.
    void forget() { m_told.clear(); }

private:
    std::vector<std::optional<std::int32_t>> m_told;
};

// The value of a control as OSC carries it: a whole number, or a decimal's number.
OscArgument oscValue(const ControlEntry& entry, std::int32_t value);

// Every address the instrument answers, one message each on "/oskel/address": the address
// ("/oskel/slot/{1-16}/lumakeylevel" for the slots' controls), its kind ("toggle", "integer",
// "decimal", "action", "key", "text"), its lowest and highest value and its default.
std::vector<OscMessage> oscAddressList();

} // namespace oskel
