#include <gtest/gtest.h>

#include "control/midi_instrument_ports.h"
#include "control/midi_interpreter.h"
#include "control/midi_learn.h"
#include "persistence/patch_explorer_fixture.h"

namespace oskel {
namespace {

using Names = std::vector<std::string>;

constexpr std::uint16_t kNoteOn = 0x90;
constexpr std::uint16_t kController = 0xB0;
constexpr std::uint16_t kProgram = 0xC0;

// The interpreter on the real tempo, patch explorer and console mode, over a folder of three
// patches.
class MidiInstrumentPortsTest : public test::PatchExplorerFixture {
protected:
    void SetUp() override
    {
        performance.setEventSink(&events);
        performance.options().midi.channel = 1;
        learn.AssignDefaultControllers();
        usePatches({ "first.okp", "second.okp", "third.okp" });
        performance.slot(1).Loaded = true;
        performance.globals().selectedSlot = 1;
    }

    Tempo tempo { performance, events };
    SelectionOnlyInspector inspector { performance };
    std::uint32_t now = 1000;
    InstrumentMidiPorts ports { { tempo, logic.explorer(), logic.console(), ui,
        [this] { return now; }, events, performance } };
    EffectHostPort effects;
    ControlSurfacePort surface;
    MidiInterpreter interpreter { { performance, events, inspector, ports, effects, surface,
        [] { return 44100; } } };
    MidiLearn learn { events, performance };
};

TEST_F(MidiInstrumentPortsTest, NotesAndProgramsLoadFromThePatchList)
{
    interpreter.ProcessMidiMessage(kNoteOn, 78, 100);
    interpreter.ProcessMidiMessage(kProgram, 3, 0);
    interpreter.ProcessMidiMessage(kProgram, 4, 0); // beyond the list
    ASSERT_EQ(loader.patches.size(), 2U);
    EXPECT_TRUE(loader.patches[0].throughMidi);
    EXPECT_EQ(loader.takeNames(), (Names { "second.okp", "third.okp" }));
    EXPECT_EQ(midiPauses, 2);
}

TEST_F(MidiInstrumentPortsTest, ConsoleModeIgnoresNotesAfterAJamThenSelectsByTheMappedSlot)
{
    logic.console().start();
    events.take();
    interpreter.ProcessMidiMessage(kNoteOn, 50, 100);
    EXPECT_TRUE(loader.patches.empty());
    clock.advanceBy(performance.options().console.ConsolePostPlayTime);
    ASSERT_TRUE(logic.console().selectionActive());
    interpreter.ProcessMidiMessage(kNoteOn, 52, 100); // slot 3: the third patch
    EXPECT_EQ(loader.takeNames(), Names { "third.okp" });
    EXPECT_EQ(events.take(), std::vector<TSlotEvent> {});
}

TEST_F(MidiInstrumentPortsTest, TapsAndTheTempoControllerSetTheTempo)
{
    for (int tap = 0; tap < 8; ++tap) {
        interpreter.ProcessMidiMessage(kNoteOn | 3, 42, 100);
        now += 500;
    }
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 120.0);
    interpreter.ProcessMidiMessage(kController, 75, 45);
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 90.0);
}

} // namespace
} // namespace oskel
