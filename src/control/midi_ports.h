#pragma once

#include <cstdint>
#include <string_view>

namespace oskel {

// What the MIDI input reaches outside the performance state. Each port does nothing by
// default, so a part that does not exist yet is simply not reached. Called on the main
// thread, where the interpreter runs.

// Console mode as the notes see it.
enum class ConsoleMidiState { Off, PostJam, Selection, Jam };

// The tempo, the patch explorer, console mode and the clip inspector's refresh.
class MidiInputPorts {
public:
    virtual ~MidiInputPorts() = default;

    // A tap of the tempo, as the "Tap" button.
    virtual void tapTempo() { }
    // Sets the global tempo in beats per minute.
    virtual void setTempo(double /*bpm*/) { }
    // The global sync of the tempo.
    virtual void syncTempo() { }

    // Loads the patch at position `index` of the patch list, counted from its first patch
    // file; false when there is none there (a negative index has none).
    virtual bool loadPatchByIndex(int /*index*/) { return false; }
    virtual ConsoleMidiState consoleMode() const { return ConsoleMidiState::Off; }

    // Refreshes the clip inspector's controls from its slot, when the inspector is shown.
    virtual void updateInspectorValues() { }
};

// The effect host's operations that MIDI drives.
class EffectHostPort {
public:
    virtual ~EffectHostPort() = default;

    // Effect parameter `index` 0..7 of the slot's plug-in, from a controller value 0..127.
    virtual void MIDIsetParam(int /*slot*/, int /*index*/, int /*value*/) { }
    // The slot's wet/dry mix, 0..1.
    virtual void ChangeWetDryMixMIDI(int /*slot*/, double /*mix*/) { }
    // Switches the slot's effect on or off (FFenable); false, changing nothing, when the
    // slot has no plug-in.
    virtual bool SetEffectEnabled(int /*slot*/, bool /*on*/) { return false; }
};

// The control surface's side of a message: before the interpreter looks at a message, a
// running surface turns it into a code (see MidiInterpreter::surfaceStep for what the codes
// mean). The surface's own display, page and LED work stays behind this port.
class ControlSurfacePort {
public:
    virtual ~ControlSurfacePort() = default;

    virtual bool active() const { return false; }
    // The code for the message; -1 lets it through unchanged.
    virtual int translate(
        std::uint16_t /*status*/, std::uint16_t /*data1*/, std::uint16_t /*data2*/)
    {
        return -1;
    }
    // The codes that act on the surface's display or pages, and the codes that move a
    // window's fader whose change handler carries the value on (the speed fader: 250).
    // `value` is the message's data 2; `slot` the current clip.
    virtual void carryOut(int /*code*/, int /*slot*/, int /*value*/) { }
    // The performer chose a page of the clip inspector ("Main", "2D", "3D", "FreeFrame") while
    // working on the slot: the surface brings up the matching controls.
    virtual void inspectorPageChosen(std::string_view /*page*/, int /*slot*/) { }
};

} // namespace oskel
