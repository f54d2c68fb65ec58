#include "control/midi_instrument_ports.h"

#include "core/control_names.h"

namespace oskel {

ConsoleMidiState InstrumentMidiPorts::consoleMode() const
{
    const ConsoleMode& console = m_links.console;
    if (!console.on()) {
        return ConsoleMidiState::Off;
    }
    switch (console.state()) {
    case ConsoleMode::State::PostJam:
        return ConsoleMidiState::PostJam;
    case ConsoleMode::State::Selection:
        return ConsoleMidiState::Selection;
    case ConsoleMode::State::Jam:
        return ConsoleMidiState::Jam;
    }
    return ConsoleMidiState::Off;
}

void InstrumentMidiPorts::updateInspectorValues()
{
    m_links.ui.showControlValue(control::kInspectorRefresh, true);
}

} // namespace oskel
