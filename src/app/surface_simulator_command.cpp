#include "app/surface_simulator_command.h"

#include <mutex>
#include <sstream>
#include <string>

#include "control/surface_simulator.h"
#include "platform/midi_in_port.h"
#include "platform/midi_out_port.h"

namespace oskel {

namespace {

// The surface's displays, kept from the driver's thread and printed when they change.
class ShownSurface final : public MidiInputHandler {
public:
    explicit ShownSurface(std::ostream& out)
        : m_out(out)
    {
    }
    Action onMidiInput(const MidiMessage& message) override
    {
        const std::scoped_lock held(m_lock);
        m_surface.receive(message);
        const std::string picture = m_surface.picture();
        if (picture != m_shown) {
            m_shown = picture;
            m_out << picture << std::flush;
        }
        return Action::Done;
    }

private:
    std::mutex m_lock;
    std::ostream& m_out;
    SurfaceSimulator m_surface;
    std::string m_shown;
};

void listDevices(MidiDevices& devices, std::ostream& out)
{
    out << "MIDI inputs:\n";
    for (const std::string& name : devices.inputNames()) {
        out << "  " << name << '\n';
    }
    out << "MIDI outputs:\n";
    for (const std::string& name : devices.outputNames()) {
        out << "  " << name << '\n';
    }
}

// One typed line sent as the surface would send it; false when it is not a command.
bool sendTyped(const std::string& line, MidiOutPort& port, std::ostream& err)
{
    std::istringstream words(line);
    std::string command;
    int first = 0;
    int second = 0;
    words >> command;
    std::array<std::uint8_t, 3> message {};
    if (command == "c" && words >> first >> second && first >= 0 && first < 96 && second >= 0
        && second <= 127) {
        message = SurfaceSimulator::control(first, second);
    } else if (command == "pad" && words >> first && first >= 1 && first <= 8) {
        message = SurfaceSimulator::pad(first - 1);
    } else {
        return false;
    }
    if (const MidiResult sent = port.sendShort(message[0], message[1], message[2]); !sent.ok()) {
        err << sent.error << '\n';
    }
    return true;
}

} // namespace

int runSurfaceSimulator(std::span<const std::string_view> arguments, MidiDevices& devices,
    std::istream& in, std::ostream& out, std::ostream& err)
{
    if (arguments.size() != 2) {
        out << "Usage: oskel3 --surface-simulator IN OUT\n";
        listDevices(devices, out);
        return arguments.empty() ? 0 : 2;
    }
    ShownSurface shown(out);
    MidiInPort input(devices);
    input.setHandler(&shown);
    MidiOutPort output(devices);
    if (const MidiResult opened = input.open(std::string_view(arguments[0])); !opened.ok()) {
        err << opened.error << '\n';
        return 1;
    }
    if (const MidiResult opened = output.open(std::string_view(arguments[1])); !opened.ok()) {
        err << opened.error << '\n';
        return 1;
    }
    input.start();
    out << "The surface listens on " << arguments[0] << " and plays to " << arguments[1]
        << ". Type 'c CONTROL VALUE', 'pad N' or 'quit'.\n"
        << std::flush;
    for (std::string line; std::getline(in, line) && line != "quit";) {
        if (!line.empty() && !sendTyped(line, output, err)) {
            err << "Not a command: " << line << '\n';
        }
    }
    input.close();
    return 0;
}

} // namespace oskel
