#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/midi_backend.h"

namespace oskel {

// What a MIDI device operation gives back: empty when it worked, else the text the performer
// is shown.
struct [[nodiscard]] MidiResult {
    std::string error;

    bool ok() const { return error.empty(); }
};

// Every MIDI device the program can reach, through all its back-ends in order: one list of
// inputs and one of outputs, by name. The main thread.
class MidiDevices {
public:
    explicit MidiDevices(std::vector<std::unique_ptr<MidiBackend>> backends);
    MidiDevices(const MidiDevices&) = delete;
    MidiDevices& operator=(const MidiDevices&) = delete;

    std::vector<std::string> inputNames() const;
    std::vector<std::string> outputNames() const;

    // Opens the first device of that name; null, with the reason in whyNot, when none has it
    // or it cannot be opened.
    std::unique_ptr<MidiInStream> openInput(
        std::string_view name, MidiByteSink& sink, std::string& whyNot) const;
    std::unique_ptr<MidiOutStream> openOutput(std::string_view name, std::string& whyNot) const;

private:
    std::vector<std::unique_ptr<MidiBackend>> m_backends;
};

// The device a setting names, in a list as it is now: the one of that name when it is there,
// else the one at that index when the index is in the list; none otherwise. The index alone
// would pick another device once the list has changed order.
std::optional<std::size_t> findMidiDevice(
    const std::vector<std::string>& names, std::string_view name, std::int64_t index);

// The name of the device at index, for a port to open: refused while the port has a device
// open ("Change to DeviceID while device was open") and for an index off the list ("Invalid
// device ID").
MidiResult midiDeviceAt(
    bool portOpen, const std::vector<std::string>& names, std::size_t index, std::string& name);

} // namespace oskel
