#include "persistence/midi_assignments.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace oskel {

namespace {

constexpr std::string_view kControllers = "MIDIcontrollers";
constexpr std::string_view kControllerInverts = "MIDIcontrollerInverts";
constexpr std::int32_t kUnassigned = -1;
constexpr std::int32_t kLastController = 127;

} // namespace

void readMidiAssignments(
    const IniProfile& ini, MidiControllers& controllers, MidiControllerInverts& inverts)
{
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        const std::string key = std::to_string(i);
        const std::int64_t controller = ini.readInteger(kControllers, key, kUnassigned);
        controllers[i] = controller >= kUnassigned && controller <= kLastController
            ? static_cast<std::int32_t>(controller)
            : kUnassigned;
        inverts[i] = ini.readBool(kControllerInverts, key, false);
    }
}

void writeMidiAssignments(
    IniProfile& ini, const MidiControllers& controllers, const MidiControllerInverts& inverts)
{
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        const std::string key = std::to_string(i);
        ini.writeInteger(kControllers, key, controllers[i]);
        ini.writeBool(kControllerInverts, key, inverts[i]);
    }
}

} // namespace oskel
