#pragma once

#include <cstdint>
#include <functional>

#include "control/midi_ports.h"
#include "core/control_table.h"
#include "core/user_interface_port.h"
#include "persistence/console_mode.h"
#include "persistence/patch_explorer.h"
#include "playback/tempo.h"

namespace oskel {

// The MIDI input's ports on the instrument's own parts: taps and tempo go to the tempo,
// patches to the patch explorer, console mode's state is read from console mode, and a sync
// restarts the beat through the control table. Main thread.
class InstrumentMidiPorts : public MidiInputPorts {
public:
    struct Links {
        Tempo& tempo;
        PatchExplorer& explorer;
        const ConsoleMode& console;
        UserInterfacePort& ui;
        // Milliseconds, wrapping: the time of a tempo tap.
        std::function<std::uint32_t()> clock;
        EventSink& events;
        const Performance& performance;
    };

    explicit InstrumentMidiPorts(Links links)
        : m_links(std::move(links))
    {
    }

    void tapTempo() override { m_links.tempo.Tap(m_links.clock()); }
    void setTempo(double bpm) override { m_links.tempo.setBpm(bpm); }
    void syncTempo() override
    {
        setControl(m_links.events, m_links.performance, masterControl("SyncBeat"), 0);
    }
    bool loadPatchByIndex(int index) override { return m_links.explorer.loadPatchByIndex(index); }
    ConsoleMidiState consoleMode() const override;
    // The inspector's every control shows its slot again (while it is shown).
    void updateInspectorValues() override;

private:
    Links m_links;
};

} // namespace oskel
