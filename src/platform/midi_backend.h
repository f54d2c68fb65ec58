#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace oskel {

// What the performer is told when a named device is not in the list.
inline std::string midiInputNotInstalled(std::string_view name)
{
    return "MIDI Input Device " + std::string(name) + " not installed ";
}
inline std::string midiOutputNotInstalled(std::string_view name)
{
    return "MIDI output Device " + std::string(name) + " not installed";
}

// Receives the raw bytes of an open input, on the driver's thread, which may be real time:
// it must not allocate, lock or wait, and nothing may be thrown out of it. The bytes are
// valid only during the call and need not end on a message boundary.
class MidiByteSink {
public:
    virtual void receive(std::span<const std::uint8_t> bytes) noexcept = 0;

protected:
    ~MidiByteSink() = default;
};

// An open input device. Delivers bytes to its sink from the moment it opens; destroying it
// closes the device and returns only once the sink will not be called again.
class MidiInStream {
public:
    virtual ~MidiInStream() = default;
};

// An open output device; destroying it closes the device. One thread at a time.
class MidiOutStream {
public:
    virtual ~MidiOutStream() = default;
    // Sends one whole message, short or system exclusive. Returns the device's error text,
    // empty when the bytes were sent.
    virtual std::string send(std::span<const std::uint8_t> bytes) = 0;
};

// One way of reaching MIDI devices (the ALSA sequencer, JACK, the loopback). Devices are
// named as the performer sees them; the lists may change between two calls as devices come
// and go, which is why devices are opened by name. The main thread.
class MidiBackend {
public:
    virtual ~MidiBackend() = default;

    virtual std::vector<std::string> inputNames() = 0;
    virtual std::vector<std::string> outputNames() = 0;

    // Opens the named device of this back-end's list. On failure returns null and says why
    // in whyNot.
    virtual std::unique_ptr<MidiInStream> openInput(
        std::string_view name, MidiByteSink& sink, std::string& whyNot)
        = 0;
    virtual std::unique_ptr<MidiOutStream> openOutput(std::string_view name, std::string& whyNot)
        = 0;
};

} // namespace oskel
