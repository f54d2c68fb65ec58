#pragma once

#include <cstdint>
#include <string_view>

#include "core/control_table.h"
#include "core/performance.h"

namespace oskel {

// The controller assignments of the 41 MIDI parameters (MidiOptions::controllers and
// controllerInverts, the MIDI form's tables) and MIDI learn: a learn button pressed, the
// next controller moved on any channel is assigned to its parameter. Every assignment is set
// through the control table, so a recording keeps it. Main thread, as the interpreter.
class MidiLearn {
public:
    MidiLearn(EventSink& events, const Performance& performance)
        : m_events(events)
        , m_performance(performance)
    {
    }

    // A learn button pressed with the left mouse button. A number that names no parameter
    // is not learned.
    void StartLearn(int index);
    bool learning() const { return m_learning; }
    int learnIndex() const { return m_index; }
    // Nothing waits to be learned any more (resetting all slots does this).
    void cancelLearn() { m_learning = false; }

    // Every message that arrives while learning. A control change on any channel assigns
    // its controller number (data 1) to the parameter, whichever others already use it, and
    // ends learning: true then, and the form shows the new number. Other messages leave the
    // parameter waiting.
    bool LearnController(std::uint16_t status, std::uint16_t data1);

    // The options dialog's "Invert Controller " box.
    void setInvert(int index, bool inverted);
    bool inverted(int index) const;

    // Gives every parameter without a controller (-1) its default controller.
    void AssignDefaultControllers();
    // The text of a parameter's edit box: a number 0..127 is assigned; text that is not a
    // number assigns the default; any other number leaves the assignment as it is.
    void AssignParam(int index, std::string_view text);

private:
    const MidiOptions& options() const { return m_performance.options().midi; }

    EventSink& m_events;
    const Performance& m_performance;
    bool m_learning = false;
    int m_index = 0;
};

} // namespace oskel
