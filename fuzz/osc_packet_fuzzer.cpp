// Reads any bytes as an OSC packet from the network and carries each message as far as the
// instrument would before acting: what must hold is that every message becomes one request,
// that a setting names a control of the table on a slot that exists, and that a message that
// can be written back reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/slot_number.h"
#include "platform/osc_packet.h"
#include "recording/osc_commands.h"

namespace {

using namespace oskel;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void checkRequest(const OscRequest& request)
{
    const auto* command = std::get_if<ScriptCommand>(&request);
    if (command == nullptr) {
        if (const auto* refusal = std::get_if<OscRefusal>(&request)) {
            check(!refusal->reason.empty());
        }
        return;
    }
    if (const auto* set = std::get_if<SetAction>(command)) {
        check(set->control.index < controlTable().size());
        const bool onSlot = set->control.entry().scope == ControlScope::Slot;
        check(onSlot ? isValidSlot(set->control.slot) : set->control.slot == 0);
    } else if (const auto* patch = std::get_if<PatchAction>(command)) {
        check(!patch->file.empty() && !patch->save);
    } else {
        check(std::holds_alternative<KeyAction>(*command));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const OscPacket packet = decodeOscPacket(std::span(data, size));
    check(packet.messages.size() <= 64);
    for (const OscMessage& message : packet.messages) {
        checkRequest(translateOscMessage(message));
        const std::vector<std::uint8_t> again = encodeOscMessage(message);
        if (!again.empty()) {
            const OscPacket reread = decodeOscPacket(again);
            check(reread.messages.size() == 1);
            check(reread.messages[0].address == message.address);
        }
    }
    return 0;
}
