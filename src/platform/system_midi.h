#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/midi_devices.h"

namespace oskel {

// The name of the program's own ports, which other programs connect to: a virtual input
// (they send to the program) and a virtual output (they receive from it), each listed first
// among the sequencer's devices and made when chosen.
inline constexpr std::string_view kVirtualMidiPortName = "Oskel 3";

// The system's MIDI devices through RtMidi, on the ALSA sequencer and on JACK when this RtMidi
// has JACK and a JACK server runs, followed by the loopback cable "Oskel Loopback". Never
// fails: a system that cannot be reached is left out, and problems says why (empty when all
// could be reached). The main thread.
std::unique_ptr<MidiDevices> openSystemMidiDevices(std::string& problems);

// The ALSA sequencer alone, without the loopback: null, with the reason, when it cannot be
// reached.
std::unique_ptr<MidiBackend> openAlsaSequencer(std::string& whyNot);

} // namespace oskel
