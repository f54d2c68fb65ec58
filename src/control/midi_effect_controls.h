#pragma once

#include "control/midi_ports.h"
#include "core/event_rules.h"

namespace oskel {

class Performance;

// What MIDI does to a slot's effect, as events of the control table's effect entries, so
// that it is recorded like every other change. Main thread.
class MidiEffectControls : public EffectHostPort {
public:
    MidiEffectControls(Performance& performance, EventSink& events)
        : m_performance(performance)
        , m_events(events)
    {
    }

    void MIDIsetParam(int slot, int index, int value) override;
    void ChangeWetDryMixMIDI(int slot, double mix) override;
    bool SetEffectEnabled(int slot, bool on) override;

private:
    Performance& m_performance;
    EventSink& m_events;
};

} // namespace oskel
