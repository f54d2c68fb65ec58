#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "control/midi_interpreter.h"
#include "control/midi_parameters.h"
#include "core/control_names.h"
#include "core/midi_assignment_items.h"
#include "support/fake_sound_buffer.h"
#include "support/performance_with_controls.h"
#include "support/pretend_clip.h"

namespace oskel {
namespace {

using Events = std::vector<TSlotEvent>;
using Calls = std::vector<std::string>;

constexpr std::uint16_t kNoteOn = 0x90;
constexpr std::uint16_t kNoteOff = 0x80;
constexpr std::uint16_t kController = 0xB0;
constexpr std::uint16_t kProgram = 0xC0;
constexpr std::uint16_t kWheel = 0xE0;
constexpr int kRate = 48000; // the reference rate: the last loaded clip's sound

class RecordingPorts : public MidiInputPorts {
public:
    Calls calls;
    ConsoleMidiState console = ConsoleMidiState::Off;

    void tapTempo() override { calls.emplace_back("tap"); }
    void setTempo(double bpm) override { calls.push_back("tempo " + std::to_string(int(bpm))); }
    void syncTempo() override { calls.emplace_back("sync"); }
    bool loadPatchByIndex(int index) override
    {
        calls.push_back("patch " + std::to_string(index));
        return true;
    }
    ConsoleMidiState consoleMode() const override { return console; }
    void updateInspectorValues() override { calls.emplace_back("inspector"); }
};

// Switches the effect as a host with a plug-in in every slot would.
class RecordingEffects : public EffectHostPort {
public:
    explicit RecordingEffects(Performance& performance)
        : m_performance(performance)
    {
    }
    Calls calls;

    void MIDIsetParam(int slot, int index, int value) override
    {
        calls.push_back("param " + std::to_string(slot) + " " + std::to_string(index) + " "
            + std::to_string(value));
    }
    void ChangeWetDryMixMIDI(int slot, double mix) override
    {
        calls.push_back("wetdry " + std::to_string(slot) + " " + std::to_string(mix));
    }
    bool SetEffectEnabled(int slot, bool on) override
    {
        calls.push_back("effect " + std::to_string(slot) + (on ? " on" : " off"));
        m_performance.slot(slot).FFenable = on;
        return true;
    }

private:
    Performance& m_performance;
};

class ScriptedSurface : public ControlSurfacePort {
public:
    bool running = false;
    std::function<int()> nextCode = [] { return -1; };
    Calls calls;

    bool active() const override { return running; }
    int translate(std::uint16_t, std::uint16_t, std::uint16_t) override { return nextCode(); }
    void carryOut(int code, int slot, int value) override
    {
        calls.push_back(
            std::to_string(code) + " " + std::to_string(slot) + " " + std::to_string(value));
    }
};

// Public, so that the cases' set-up functions reach it.
class MidiInterpreterTest : public ::testing::Test, public test::PerformanceWithControls {
public:
    static constexpr std::int64_t kLength = 1270000;

    void SetUp() override
    {
        MidiOptions& options = midi();
        options.channel = 1;
        for (int parameter = 0; parameter < kMidiParameterCount; ++parameter) {
            options.controllers.at(std::size_t(parameter))
                = kMidiAssignmentItems.at(std::size_t(parameter)).defaultController;
        }
        TPlayAvistruct& first = load(1);
        first.Volume = -500;
        first.Balance = 70;
        performance.globals().selectedSlot = 1;
    }

    TPlayAvistruct& load(int number)
    {
        return test::pretendLoaded(performance.slot(number), kLength);
    }
    MidiOptions& midi() { return performance.options().midi; }
    void message(std::uint16_t status, std::uint16_t data1, std::uint16_t data2)
    {
        interpreter.ProcessMidiMessage(status, data1, data2);
    }
    // Everything the interpreter did: its events and its calls on the ports.
    struct Outcome {
        Events events;
        Calls calls;
        Calls effects;
    };
    Outcome take()
    {
        return { events.take(), std::exchange(ports.calls, {}), std::exchange(effects.calls, {}) };
    }

    SelectionOnlyInspector inspector { performance };
    RecordingPorts ports;
    RecordingEffects effects { performance };
    ScriptedSurface surface;
    MidiInterpreter interpreter { { performance, events, inspector, ports, effects, surface,
        [] { return kRate; } } };
};

TEST(MidiNoteMaps, WhiteKeysOrSixteenNotesFromFiftyTwoGiveTheSlots)
{
    const std::vector<int> keyboard { 48, 50, 52, 53, 55, 57, 59, 60, 62, 64, 65, 67, 69, 71, 72,
        74 };
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        EXPECT_EQ(midiNoteSlot(keyboard.at(std::size_t(slot - 1)), false), slot);
        EXPECT_EQ(midiNoteSlot(51 + slot, true), slot);
    }
    for (const int note : { 0, 47, 49, 51, 54, 61, 73, 75, 127 }) {
        EXPECT_EQ(midiNoteSlot(note, false), 0) << note;
    }
    for (const int note : { 0, 51, 68, 127 }) {
        EXPECT_EQ(midiNoteSlot(note, true), 0) << note;
    }
}

TEST_F(MidiInterpreterTest, TheMappedNotesTriggerTheirSlots)
{
    for (int slot = 2; slot <= kSlotCount; ++slot) {
        load(slot);
    }
    message(kNoteOn, 48, 100);
    message(kNoteOn, 74, 100);
    EXPECT_EQ(events.take(), (Events { { 0, -500, 70, 1 }, { 0, 0, 64, 16 } }));
    midi().MIDIguitairMode = true;
    message(kNoteOn, 52, 100);
    message(kNoteOn, 67, 100);
    message(kNoteOn, 68, 100); // beyond the map: no command either
    EXPECT_EQ(events.take(), (Events { { 0, -500, 70, 1 }, { 0, 0, 64, 16 } }));
}

TEST_F(MidiInterpreterTest, NotesTriggerStopAndSetVolumeAndOpacity)
{
    struct Case {
        const char* name;
        std::function<void(MidiInterpreterTest&)> setUp;
        std::uint16_t status;
        std::uint16_t note;
        std::uint16_t velocity;
        Events expected;
    };
    const auto noteOff = [](MidiInterpreterTest& t) { t.midi().NoteOff = true; };
    const auto playing = [](MidiInterpreterTest& t) {
        t.midi().NoteOff = true;
        t.performance.slot(1).Playing = true;
    };
    const std::vector<Case> cases = {
        { "the slot's own volume and balance", nullptr, kNoteOn, 48, 100, { { 0, -500, 70, 1 } } },
        { "a muted slot is silent", [](auto& t) { t.performance.slot(1).Mute = true; }, kNoteOn, 48,
            100, { { 0, -10000, 70, 1 } } },
        { "a muted slot in sync mode is silent too",
            [](auto& t) {
                t.performance.slot(1).Mute = true;
                t.performance.slot(1).InstallationMode = true;
            },
            kNoteOn, 48, 100, { { 0, -10000, 70, 1 } } },
        { "velocity 127 to volume", [](auto& t) { t.midi().VelocityVolume = true; }, kNoteOn, 48,
            127, { { 0, 0, 70, 1 } } },
        { "velocity 64 to volume", [](auto& t) { t.midi().VelocityVolume = true; }, kNoteOn, 48, 64,
            { { 0, -595, 70, 1 } } },
        { "velocity 1 to volume", [](auto& t) { t.midi().VelocityVolume = true; }, kNoteOn, 48, 1,
            { { 0, -4208, 70, 1 } } },
        { "velocity 94 to opacity: transparent", [](auto& t) { t.midi().VelocityOpacity = true; },
            kNoteOn, 48, 94, { { 34, 256, 0, 1 }, { 0, -500, 70, 1 } } },
        { "velocity 100 to opacity", [](auto& t) { t.midi().VelocityOpacity = true; }, kNoteOn, 48,
            100, { { 34, 216, 0, 1 }, { 0, -500, 70, 1 } } },
        { "velocity 127 to opacity: opaque", [](auto& t) { t.midi().VelocityOpacity = true; },
            kNoteOn, 48, 127, { { 34, 0, 0, 1 }, { 0, -500, 70, 1 } } },
        { "another channel does not trigger", nullptr, kNoteOn | 1, 48, 100, {} },
        { "in 16-channel mode any channel triggers",
            [](auto& t) { t.midi().IndividualChannels = true; }, kNoteOn | 4, 48, 100,
            { { 0, -500, 70, 1 } } },
        { "an empty slot", nullptr, kNoteOn, 50, 100, {} },
        { "a slot that ignores MIDI", [](auto& t) { t.performance.slot(1).DisableMIDI = true; },
            kNoteOn, 48, 100, {} },
        { "velocity 0 stops with Use Note Off", noteOff, kNoteOn, 48, 0, { { 10, 0, 0, 1 } } },
        { "velocity 0 without it does nothing", nullptr, kNoteOn, 48, 0, {} },
        { "velocity 0 leaves a sync-mode slot alone",
            [](auto& t) {
                t.midi().NoteOff = true;
                t.performance.slot(1).InstallationMode = true;
            },
            kNoteOn, 48, 0, {} },
        { "note off stops a playing slot", playing, kNoteOff, 48, 64, { { 10, 0, 0, 1 } } },
        { "note off leaves a stopped slot", noteOff, kNoteOff, 48, 64, {} },
        { "note off needs Use Note Off", [](auto& t) { t.performance.slot(1).Playing = true; },
            kNoteOff, 48, 64, {} },
        { "note off on another channel", playing, kNoteOff | 1, 48, 64, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        midi() = MidiOptions {};
        midi().channel = 1;
        TPlayAvistruct& slot = performance.slot(1);
        slot.Mute = false;
        slot.Playing = false;
        slot.DisableMIDI = false;
        slot.InstallationMode = false;
        if (c.setUp) {
            c.setUp(*this);
        }
        message(c.status, c.note, c.velocity);
        EXPECT_EQ(events.take(), c.expected);
    }
}

TEST_F(MidiInterpreterTest, ATriggeredSlotIsShownInTheInspectorWhenTheOptionIsOn)
{
    load(2);
    midi().CurrentClipMIDIfollow = false;
    message(kNoteOn, 50, 100);
    EXPECT_EQ(inspector.inspectedSlot(), 0);
    midi().CurrentClipMIDIfollow = true;
    message(kNoteOn, 50, 100);
    EXPECT_EQ(inspector.inspectedSlot(), 2);
}

TEST_F(MidiInterpreterTest, PitchNotesPlayTheChannelsSlotAtTheNotesPitch)
{
    midi().PitchNotes = true;
    load(3).Volume = -300;
    const std::vector<std::pair<int, int>> pitches { { 60, 44100 }, { 72, 88200 }, { 48, 22050 },
        { 61, 46722 } };
    for (const auto& [note, hertz] : pitches) {
        message(kNoteOn | 2, std::uint16_t(note), 100);
        EXPECT_EQ(events.take(), (Events { { 5, -300, hertz, 3 } })) << note;
    }
    message(kNoteOn | 2, 115, 100); // a million hertz or more: no trigger
    message(kNoteOn | 3, 60, 100); // slot 4 is empty
    EXPECT_EQ(events.take(), Events {});

    // A muted slot in sync mode keeps its volume; a muted ordinary one is silent.
    performance.slot(3).Mute = true;
    performance.slot(3).InstallationMode = true;
    message(kNoteOn | 2, 60, 100);
    performance.slot(3).InstallationMode = false;
    message(kNoteOn | 2, 60, 100);
    EXPECT_EQ(events.take(), (Events { { 5, -300, 44100, 3 }, { 5, -10000, 44100, 3 } }));

    // Velocity 0 with Use Note Off stops the slot only while it plays.
    midi().NoteOff = true;
    message(kNoteOn | 2, 60, 0);
    performance.slot(3).Playing = true;
    message(kNoteOn | 2, 60, 0);
    message(kNoteOff | 2, 60, 0);
    EXPECT_EQ(events.take(), (Events { { 10, 0, 0, 3 }, { 10, 0, 0, 3 } }));
}

TEST_F(MidiInterpreterTest, CommandNotesActOnTheCurrentClipOrEverything)
{
    struct Case {
        const char* name;
        std::uint16_t status;
        std::uint16_t note;
        Events events;
        Calls calls;
        Calls effects;
    };
    const std::int32_t cursor = 4000;
    const std::vector<Case> cases = {
        { "42 taps the tempo", kNoteOn | 5, 42, {}, { "tap" }, {} },
        { "44 resets all slots", kNoteOn | 5, 44, { { 38, 0, 0, 0 }, { 25, 0, 0, 0 } }, {}, {} },
        { "58 toggles trails", kNoteOn | 5, 58, { { 12, 1, 0, 0 } }, {}, {} },
        { "63 stops all", kNoteOn | 5, 63, { { 25, 0, 0, 0 } }, {}, {} },
        { "49 plays backward", kNoteOn, 49, { { 2, 2, 0, 1 } }, {}, {} },
        { "51 plays forward", kNoteOn, 51, { { 2, 1, 0, 1 } }, {}, {} },
        { "54 toggles loop", kNoteOn, 54, { { 6, 0, 0, 0 } }, {}, {} },
        { "56 toggles the effect", kNoteOn, 56, {}, {}, { "effect 1 on" } },
        { "61 sets the in point here", kNoteOn, 61, { { 7, cursor, 0, 1 } }, {}, {} },
        { "66 sets the in point to the start", kNoteOn, 66, { { 7, 0, 0, 1 } }, {}, {} },
        { "68 pauses a playing slot", kNoteOn, 68, { { 9, 1, 0, 1 } }, {}, {} },
        { "slot commands only from the base channel", kNoteOn | 1, 49, {}, {}, {} },
        { "a white key outside the map does nothing", kNoteOn, 76, {}, {}, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        performance.slot(1).Playing = true;
        performance.slot(1).FFenable = false;
        performance.slot(1).ForwardBuffer->setPosition(cursor);
        message(c.status, c.note, 100);
        const Outcome outcome = take();
        EXPECT_EQ(outcome.events, c.events);
        EXPECT_EQ(outcome.calls, c.calls);
        EXPECT_EQ(outcome.effects, c.effects);
    }
}

TEST_F(MidiInterpreterTest, CommandNotesToggleTheOptionsThroughTheControls)
{
    message(kNoteOn, 73, 100);
    EXPECT_TRUE(performance.globals().NewTriggerStopsClips);
    EXPECT_TRUE(ui.lastShown(control::kMonophonic) != nullptr);
    message(kNoteOn, 75, 100);
    EXPECT_TRUE(midi().NoteOff);
    message(kNoteOn, 75, 100);
    message(kNoteOn, 73, 100);
    EXPECT_FALSE(midi().NoteOff);
    EXPECT_FALSE(performance.globals().NewTriggerStopsClips);
}

TEST_F(MidiInterpreterTest, InPointsGoHomeForEverySlotThatTakesMidi)
{
    performance.slot(3).DisableMIDI = true;
    message(kNoteOn, 46, 1);
    Events expected;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (slot != 3) {
            expected.push_back({ 7, 0, 0, slot });
        }
    }
    EXPECT_EQ(events.take(), expected);
}

TEST_F(MidiInterpreterTest, CommandNotesNeedAVelocityACurrentClipAndBlackNotes)
{
    message(kNoteOn, 63, 0);
    EXPECT_EQ(events.take(), Events {});

    performance.globals().selectedSlot = kNoSlot;
    message(kNoteOn, 42, 100);
    message(kNoteOn, 63, 100);
    message(kNoteOn, 49, 100);
    EXPECT_EQ(events.take(), Events {});
    EXPECT_EQ(ports.calls, Calls { "tap" });

    performance.globals().selectedSlot = 1;
    midi().DisableBlackNotes = true;
    message(kNoteOn, 63, 100);
    message(kNoteOn, 42, 100);
    EXPECT_EQ(events.take(), Events {});
    EXPECT_EQ(ports.calls, Calls { "tap" });
}

TEST_F(MidiInterpreterTest, SixteenChannelSlotCommandsActOnTheChannelsSlot)
{
    midi().IndividualChannels = true;
    load(5).ForwardBuffer->setPosition(1234);
    message(kNoteOn | 4, 61, 100);
    message(kNoteOn | 4, 48, 100); // still the mapped slot's trigger
    EXPECT_EQ(events.take(), (Events { { 7, 1234, 0, 5 }, { 0, -500, 70, 1 } }));
    performance.slot(5).DisableMIDI = true;
    message(kNoteOn | 4, 61, 100);
    EXPECT_EQ(events.take(), Events {});
}

TEST_F(MidiInterpreterTest, AnUnreadablePlayPositionIsReportedAndTheStartSent)
{
    performance.slot(1).ForwardBuffer = std::make_shared<test::BrokenCursorBuffer>(kLength, 44100);
    message(kNoteOn, 61, 100);
    EXPECT_EQ(events.take(), (Events { { 7, 0, 0, 1 } }));
    ASSERT_FALSE(ui.statusTexts.empty());
    EXPECT_EQ(ui.statusTexts.back(), "Err: GetPos in MIDI InPoint");
}

TEST_F(MidiInterpreterTest, GuitarModeSlotNotesHideTheSlotCommands)
{
    midi().MIDIguitairMode = true;
    message(kNoteOn, 54, 100); // slot 3, empty: ignored, not a loop toggle
    message(kNoteOn, 52, 100);
    message(kNoteOn | 1, 63, 100); // another channel reaches the global commands
    EXPECT_EQ(events.take(), (Events { { 0, -500, 70, 1 }, { 25, 0, 0, 0 } }));
}

TEST_F(MidiInterpreterTest, NoteSeventyRestartsTheSyncSlotsAndShowsThoseThatWereShown)
{
    for (const int slot : { 2, 3, 4 }) {
        load(slot).InstallationMode = true;
    }
    performance.slot(2).Shown = true;
    performance.slot(3).Shown = false;
    performance.slot(4).Shown = true;
    performance.slot(4).DisableMIDI = true;
    message(kNoteOn | 6, 70, 100);
    EXPECT_EQ(events.take(),
        (Events {
            { 1, 0, 0, 2 }, { 1, 0, 0, 3 }, { 13, 0, 0, 0 }, { 0, 0, 64, 2 }, { 13, 1, 0, 0 } }));
}

TEST_F(MidiInterpreterTest, PatchesAreChosenByHighNotesAndProgramChanges)
{
    struct Case {
        const char* name;
        std::function<void(MidiInterpreterTest&)> setUp;
        std::uint16_t status;
        std::uint16_t data1;
        std::uint16_t data2;
        Calls calls;
        Events events;
    };
    const auto console = [](ConsoleMidiState state) {
        return [state](MidiInterpreterTest& t) { t.ports.console = state; };
    };
    const std::vector<Case> cases = {
        { "note 77 is the first patch", nullptr, kNoteOn, 77, 100, { "patch 0" }, {} },
        { "whatever the velocity", nullptr, kNoteOn, 80, 0, { "patch 3" }, {} },
        { "note 76 names none", nullptr, kNoteOn, 76, 100, {}, {} },
        { "only on the base channel", nullptr, kNoteOn | 3, 77, 100, {}, {} },
        { "only with the input buffer", [](auto& t) { t.midi().UseCircbuf = false; }, kNoteOn, 77,
            100, {}, {} },
        { "not with patch loading off", [](auto& t) { t.midi().DisablePatchLoading = true; },
            kNoteOn, 77, 100, {}, {} },
        { "not with black notes off", [](auto& t) { t.midi().DisableBlackNotes = true; }, kNoteOn,
            77, 100, {}, {} },
        { "program 1 is the first patch", nullptr, kProgram | 7, 1, 0, { "patch 0" }, {} },
        { "program 0 names none", nullptr, kProgram, 0, 0, {}, {} },
        { "programs need the input buffer", [](auto& t) { t.midi().UseCircbuf = false; }, kProgram,
            5, 0, {}, {} },
        { "console selection: the mapped slot's patch", console(ConsoleMidiState::Selection),
            kNoteOn, 50, 100, { "patch 1" }, {} },
        { "console selection: notes outside the map choose none",
            console(ConsoleMidiState::Selection), kNoteOn, 77, 100, {}, {} },
        { "console selection: only from the base channel", console(ConsoleMidiState::Selection),
            kNoteOn | 1, 48, 100, {}, {} },
        { "console post jam: notes are ignored", console(ConsoleMidiState::PostJam), kNoteOn, 48,
            100, {}, {} },
        { "console jam: slots play", console(ConsoleMidiState::Jam), kNoteOn, 48, 100, {},
            { { 0, -500, 70, 1 } } },
        { "console jam: no patches by note", console(ConsoleMidiState::Jam), kNoteOn, 77, 100, {},
            {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        midi() = MidiOptions {};
        midi().channel = 1;
        ports.console = ConsoleMidiState::Off;
        if (c.setUp) {
            c.setUp(*this);
        }
        message(c.status, c.data1, c.data2);
        const Outcome outcome = take();
        EXPECT_EQ(outcome.calls, c.calls);
        EXPECT_EQ(outcome.events, c.events);
    }
}

TEST_F(MidiInterpreterTest, ControllersDriveTheirAssignedParameters)
{
    struct Case {
        const char* name;
        int controller;
        int value;
        Events events;
        Calls calls;
        Calls effects;
    };
    const Calls refresh { "inspector" };
    const std::int32_t length = kLength;
    const std::vector<Case> cases = {
        { "classic pitch", 70, 32, { { 3, 24000, 0, 1 } }, refresh, {} },
        { "classic pitch at 0 is 1 Hz", 70, 0, { { 3, 1, 0, 1 } }, refresh, {} },
        { "fine pitch at 0", 71, 0, { { 3, 40320, 0, 1 } }, refresh, {} },
        { "fine pitch at 127", 71, 127, { { 3, 55680, 0, 1 } }, refresh, {} },
        { "in point at 127 stops short of the end", 53, 127, { { 7, length - 2, 0, 1 } }, refresh,
            {} },
        { "in point at 0 is 1", 53, 0, { { 7, 1, 0, 1 } }, refresh, {} },
        { "out point", 54, 64, { { 8, 640000, 0, 1 } }, refresh, {} },
        { "direction below the centre", 1, 63, { { 2, 1, 0, 1 } }, refresh, {} },
        { "direction from the centre", 1, 64, { { 2, 2, 0, 1 } }, refresh, {} },
        { "width", 58, 64, { { 23, 194, 0, 1 } }, refresh, {} },
        { "width at the top", 58, 127, { { 23, 384, 0, 1 } }, refresh, {} },
        { "height", 59, 100, { { 24, 227, 0, 1 } }, refresh, {} },
        { "size", 60, 33, { { 17, 33, 0, 1 } }, refresh, {} },
        { "aspect", 61, 34, { { 19, 34, 0, 1 } }, refresh, {} },
        { "x movement", 62, 40, { { 15, 1, 40, 1 } }, refresh, {} },
        { "y movement", 63, 27, { { 15, 2, 200, 1 } }, refresh, {} },
        { "luma key level", 65, 127, { { 20, 0, 0, 1 } }, refresh, {} },
        { "luma blend", 66, 64, { { 35, 386, 0, 1 } }, refresh, {} },
        { "opacity at the top is opaque", 67, 127, { { 34, 0, 0, 1 } }, refresh, {} },
        { "opacity at 0 is transparent", 67, 0, { { 34, 256, 0, 1 } }, refresh, {} },
        { "trails die-back", 80, 3, { { 36, 2, 0, 1 } }, refresh, {} },
        { "trails die-back at the top", 80, 127, { { 36, 64, 0, 1 } }, refresh, {} },
        { "crossfade while the crossfader is off", 85, 10, {}, refresh, {} },
        { "clip volume", 77, 64, { { 31, -595, 0, 1 } }, refresh, {} },
        { "clip volume at 0", 77, 0, { { 31, -10000, 0, 1 } }, refresh, {} },
        { "pan at the centre", 79, 64, { { 41, 0, 64, 1 } }, refresh, {} },
        { "pan left", 79, 32, { { 41, -602, 32, 1 } }, refresh, {} },
        { "global tempo", 75, 60, {}, { "tempo 120", "inspector" }, {} },
        { "global volume on slot 1", 76, 100, { { 39, 200, 0, 1 } }, refresh, {} },
        { "frame scratch", 78, 9, { { 40, 9, 0, 1 } }, refresh, {} },
        { "effect parameter 1", 98, 5, {}, refresh, { "param 1 0 5" } },
        { "effect parameter 8", 105, 6, {}, refresh, { "param 1 7 6" } },
        { "effect wet/dry", 110, 127, {}, refresh, { "wetdry 1 1.000000" } },
        { "effect on", 111, 64, {}, refresh, { "effect 1 on" } },
        { "effect off", 111, 63, {}, refresh, { "effect 1 off" } },
        { "tempo tap ends the message", 68, 1, {}, { "tap" }, {} },
        { "tempo tap at 0 does nothing", 68, 0, {}, {}, {} },
        { "global sync", 69, 127, {}, { "sync" }, {} },
        { "an unassigned controller refreshes only", 3, 50, {}, refresh, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        message(kController, std::uint16_t(c.controller), std::uint16_t(c.value));
        const Outcome outcome = take();
        EXPECT_EQ(outcome.events, c.events);
        EXPECT_EQ(outcome.calls, c.calls);
        EXPECT_EQ(outcome.effects, c.effects);
    }
}

TEST_F(MidiInterpreterTest, ControllersSetTheThreeDFieldsThroughTheControls)
{
    const TPlayAvistruct& slot = performance.slot(1);
    message(kController, 90, 127);
    message(kController, 91, 0);
    message(kController, 92, 96);
    message(kController, 93, 127);
    message(kController, 94, 127);
    message(kController, 95, 0);
    message(kController, 96, 64);
    EXPECT_DOUBLE_EQ(slot.Size3D, 6.0);
    EXPECT_DOUBLE_EQ(slot.XRotSpeed, -20.0);
    EXPECT_DOUBLE_EQ(slot.YRotSpeed, 10.0);
    EXPECT_NEAR(slot.ZRotSpeed, 19.688, 0.0005);
    EXPECT_EQ(slot.HorzTiles, 7);
    EXPECT_EQ(slot.VertTiles, 1);
    EXPECT_NEAR(slot.ArraySpacing, 3.024, 0.0005);
    EXPECT_EQ(events.take(), Events {}); // all of them settings, none an event of their own
}

TEST_F(MidiInterpreterTest, TheCrossfaderMovesOnlyWhileEnabled)
{
    performance.globals().crossfadeEnabled = true;
    performance.globals().crossfadeSlotA = 4;
    performance.globals().crossfadeSlotB = 9;
    message(kController, 85, 100);
    EXPECT_EQ(events.take(), (Events { { 37, 200, 9, 4 } }));
}

TEST_F(MidiInterpreterTest, InversionFlipsTheValueOnceForEveryInvertedParameter)
{
    auto& controllers = midi().controllers;
    auto& inverts = midi().controllerInverts;
    inverts.at(midi_parameter::kSize) = true;
    message(kController, 60, 27);
    EXPECT_EQ(events.take(), (Events { { 17, 100, 0, 1 } }));

    // Size and aspect on one controller, both inverted: both act, the value is as sent.
    controllers.at(midi_parameter::kAspectRatio) = 60;
    inverts.at(midi_parameter::kAspectRatio) = true;
    message(kController, 60, 27);
    EXPECT_EQ(events.take(), (Events { { 17, 27, 0, 1 }, { 19, 27, 0, 1 } }));
}

TEST_F(MidiInterpreterTest, ControllersChooseTheirSlotByChannel)
{
    load(2);
    message(kController | 1, 60, 5); // another channel
    performance.slot(1).DisableMIDI = true;
    message(kController, 60, 5);
    midi().IndividualChannels = true;
    message(kController | 1, 60, 6); // channel 2 drives slot 2
    EXPECT_EQ(events.take(), (Events { { 17, 6, 0, 2 } }));
    midi().IndividualChannels = false;
    performance.globals().selectedSlot = kNoSlot;
    message(kController, 60, 5);
    EXPECT_EQ(events.take(), Events {});
}

TEST_F(MidiInterpreterTest, TheKaossPadMovesTheClip)
{
    midi().KaossPad = true;
    message(kController, 1, 27); // also the direction's controller
    message(kController, 2, 27);
    message(kWheel, 0, 90);
    EXPECT_EQ(events.take(),
        (Events { { 15, 2, 100, 1 }, { 2, 1, 0, 1 }, { 15, 2, 154, 1 }, { 15, 1, 90, 1 } }));
    // With the wheels off controller 1 ends the message, and the wheel does nothing.
    midi().DisablePitchAndMod = true;
    message(kController, 1, 27);
    message(kWheel, 0, 90);
    message(kController, 2, 27);
    EXPECT_EQ(events.take(), (Events { { 15, 2, 154, 1 } }));
}

TEST_F(MidiInterpreterTest, ControllerTwentyHoldsTheScratching)
{
    EXPECT_TRUE(interpreter.scratchHold());
    message(kController, 97, 10); // held: backward and fast
    message(kController, 20, 10); // released: forward at the reference rate
    message(kController, 97, 10);
    EXPECT_FALSE(interpreter.scratchHold());
    message(kController, 20, 64);
    performance.slot(1).Direction = 2;
    message(kController, 97, 100);
    EXPECT_EQ(events.take(),
        (Events { { 2, 2, 0, 1 }, { 3, 106000, 0, 1 }, { 2, 1, 0, 1 }, { 3, kRate, 0, 1 },
            { 2, 1, 0, 1 }, { 3, 72000, 0, 1 } }));
}

TEST_F(MidiInterpreterTest, ThePitchWheelDrivesItsAssignment)
{
    struct Case {
        const char* name;
        int parameter;
        int value;
        Events events;
        Calls calls;
    };
    const Calls refresh { "inspector" };
    const std::vector<Case> cases = {
        { "classic pitch, then the inspector", 0, 64, { { 3, kRate, 0, 1 } }, refresh },
        { "opacity at the top is transparent", 12, 127, { { 34, 256, 0, 1 } }, {} },
        { "width ends at its event", 4, 127, { { 23, 384, 0, 1 } }, {} },
        { "clip volume ends at its event", 15, 127, { { 31, 0, 0, 1 } }, {} },
        { "crossfade while off refreshes", 14, 100, {}, refresh },
        { "scratching is not held back", 23, 100, { { 3, 72000, 0, 1 } }, refresh },
        { "3D size", 16, 0, {}, refresh },
    };
    interpreter.ProcessMidiMessage(kController, 20, 0); // release the scratch hold
    events.take();
    ports.calls.clear();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        midi().pitchWheelParameter = c.parameter;
        message(kWheel, 0x7F, std::uint16_t(c.value));
        const Outcome outcome = take();
        EXPECT_EQ(outcome.events, c.events);
        EXPECT_EQ(outcome.calls, c.calls);
    }

    midi().pitchWheelParameter = 17;
    message(kWheel, 0, 0);
    EXPECT_DOUBLE_EQ(performance.slot(1).XRotSpeed, -5.0);
    midi().pitchWheelParameter = 26;
    message(kWheel, 0, 3);
    EXPECT_EQ(effects.calls, Calls { "param 1 2 3" });
}

TEST_F(MidiInterpreterTest, ThePitchWheelNeedsItsChannelAndTheWheelsOn)
{
    load(3);
    message(kWheel | 2, 0, 64);
    midi().IndividualChannels = true;
    message(kWheel | 2, 0, 64);
    midi().DisablePitchAndMod = true;
    message(kWheel | 2, 0, 64);
    EXPECT_EQ(events.take(), (Events { { 3, kRate, 0, 3 } }));
}

TEST_F(MidiInterpreterTest, NothingIsHeardWhileLoadingOrInStandby)
{
    const std::vector<std::array<std::uint16_t, 3>> messages { { kNoteOn, 48, 100 },
        { kNoteOn, 63, 100 }, { kNoteOff, 48, 0 }, { kController, 60, 10 }, { kWheel, 0, 10 },
        { kProgram, 3, 0 }, { kNoteOn, 77, 100 } };
    midi().NoteOff = true;
    performance.slot(1).Playing = true;
    for (const bool loading : { true, false }) {
        performance.globals().loadingBusy = loading;
        performance.globals().standby = !loading;
        for (const auto& m : messages) {
            message(m[0], m[1], m[2]);
        }
        const Outcome outcome = take();
        EXPECT_EQ(outcome.events, Events {});
        EXPECT_EQ(outcome.calls, Calls {});
    }
}

TEST_F(MidiInterpreterTest, TheControlSurfaceTurnsMessagesIntoCodes)
{
    struct Case {
        const char* name;
        int code;
        std::array<std::uint16_t, 3> message;
        Events events;
        Calls surfaceCalls;
    };
    const std::vector<Case> cases = {
        { "-1 lets the message through", -1, { kController, 60, 7 }, { { 17, 7, 0, 1 } }, {} },
        { "a slot button becomes its note", 701, { kController, 0, 90 }, { { 0, -500, 70, 1 } },
            {} },
        { "another code becomes the controller number", 60, { kController, 9, 8 },
            { { 17, 8, 0, 1 } }, {} },
        { "display codes stay with the surface", -10, { kController, 60, 7 }, {}, { "-10 1 7" } },
        { "300 plays backward", 300, { kController, 60, 7 }, { { 2, 2, 0, 1 } }, {} },
        { "302 stops", 302, { kController, 60, 7 }, { { 10, 0, 0, 1 } }, {} },
        { "407 mutes", 407, { kController, 60, 7 }, { { 32, 0, 0, 1 } }, {} },
        { "509 sets the width fader", 509, { kController, 60, 127 }, { { 23, 1536, 0, 1 } }, {} },
        { "601 sets the trails strength", 601, { kController, 60, 9 }, { { 36, 4, 0, 0 } }, {} },
        { "605 scratches side A", 605, { kController, 60, 9 }, { { 40, 9, 0, 1 } }, {} },
        { "250 is the speed fader's", 250, { kController, 60, 9 }, {}, { "250 1 9" } },
    };
    surface.running = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        surface.nextCode = [code = c.code] { return code; };
        message(c.message[0], c.message[1], c.message[2]);
        EXPECT_EQ(events.take(), c.events);
        EXPECT_EQ(std::exchange(surface.calls, {}), c.surfaceCalls);
        ports.calls.clear();
    }
}

TEST_F(MidiInterpreterTest, TheControlSurfaceTogglesSlotSettingsAndShowsSlots)
{
    load(7);
    surface.running = true;
    const auto code = [this](int value) {
        surface.nextCode = [value] { return value; };
        message(kController, 67, 127); // the opacity's controller
    };
    code(404);
    code(405);
    EXPECT_TRUE(performance.slot(1).Chop);
    EXPECT_TRUE(performance.slot(1).ReSync);
    EXPECT_EQ(events.take(), Events {});
    // Inverse luma lets the message go on to the opacity.
    code(406);
    EXPECT_TRUE(performance.slot(1).InverseLuma);
    EXPECT_EQ(events.take(), (Events { { 34, 0, 0, 1 } }));
    EXPECT_EQ(surface.calls, Calls { "406 1 127" }); // its button on the surface

    // A failing surface is passed over.
    surface.nextCode = []() -> int { throw std::runtime_error("surface gone"); };
    message(kController, 67, 127);
    EXPECT_EQ(events.take(), (Events { { 34, 0, 0, 1 } }));

    code(207);
    code(208); // empty
    EXPECT_EQ(inspector.inspectedSlot(), 7);
    surface.calls.clear();
    // Without a current clip the surface is not asked.
    performance.globals().selectedSlot = kNoSlot;
    surface.nextCode = [this] {
        surface.calls.emplace_back("asked");
        return 300;
    };
    message(kController, 67, 127);
    EXPECT_EQ(surface.calls, Calls {});
}

} // namespace
} // namespace oskel
