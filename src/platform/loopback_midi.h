#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/midi_backend.h"

namespace oskel {

// MIDI devices without hardware: virtual cables, each listed as an output and as an input of
// the same name. What is sent to a cable's output, or injected, arrives at its input on a
// thread of the cable's own, in order, as a driver would deliver it. A cable whose input is
// not open drops what it is sent, like a cable with nothing at its end. Each cable's input
// opens once at a time; its output any number of times.
//
// The cables stand in for the devices of a real system in tests: they can be plugged in and
// unplugged, which changes the lists as a device coming or going would.
class LoopbackMidi final : public MidiBackend {
public:
    static constexpr std::string_view kDefaultCable = "Oskel Loopback";

    // One cable, kDefaultCable.
    LoopbackMidi();
    explicit LoopbackMidi(std::vector<std::string> cables);
    ~LoopbackMidi() override;

    // The main thread. A new cable comes last in the lists.
    void plug(std::string_view cable);
    void unplug(std::string_view cable);

    // Any thread: as if the device at the other end of the cable had sent these bytes (any
    // bytes, whole messages or not). False when no such cable is plugged in.
    bool inject(std::string_view cable, std::span<const std::uint8_t> bytes);

    std::vector<std::string> inputNames() override;
    std::vector<std::string> outputNames() override;
    std::unique_ptr<MidiInStream> openInput(
        std::string_view name, MidiByteSink& sink, std::string& whyNot) override;
    std::unique_ptr<MidiOutStream> openOutput(std::string_view name, std::string& whyNot) override;

    class Wire;

private:
    std::shared_ptr<Wire> find(std::string_view cable) const;

    struct Cable {
        std::string name;
        std::shared_ptr<Wire> wire;
    };
    mutable std::mutex m_lock; // the list of cables: inject may come from any thread
    std::vector<Cable> m_cables;
};

} // namespace oskel
