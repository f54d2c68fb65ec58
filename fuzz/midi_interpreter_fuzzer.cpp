// Random MIDI messages through the interpreter, under random options, controller assignments,
// slot states and control-surface codes. The settings of the control table it makes are
// carried out by a real event processor; its other events are checked, not carried out.
// Whatever the bytes, no crash, nothing at all while loading or in standby, and without the
// surface no event that names a slot names one outside 1..16 or one that ignores MIDI.
#include <array>
#include <cstddef>
#include <cstdint>

#include "control/midi_interpreter.h"
#include "core/event_processor.h"
#include "fuzz_support.h"

namespace {

using namespace oskel;
using fuzz::ByteReader;
using fuzz::check;

bool flag(ByteReader& bytes)
{
    return (bytes.byte() & 1) != 0;
}

// Checks every event; passes the control-table settings on to the processor.
class CheckingSink : public EventSink {
public:
    CheckingSink(Performance& performance, EventSink& controls)
        : m_performance(performance)
        , m_controls(controls)
    {
    }
    bool surfaceActive = false;
    int sent = 0;

    void ProcessEvent(const TSlotEvent& event) override
    {
        ++sent;
        check(event.Code < kEventCodeCount);
        if (event.Code == event_code::kSetControl) {
            m_controls.ProcessEvent(event);
            return;
        }
        if (!surfaceActive && EventProcessor::kEvents.at(event.Code).rule.namesSlot) {
            check(isValidSlot(event.Slot));
            check(!m_performance.slots()[event.Slot].DisableMIDI);
        }
    }

private:
    Performance& m_performance;
    EventSink& m_controls;
};

// The surface's codes: the ones with a meaning, and now and then any number.
class FuzzedSurface : public ControlSurfacePort {
public:
    explicit FuzzedSurface(ByteReader& bytes)
        : m_bytes(bytes)
    {
    }
    bool running = false;

    bool active() const override { return running; }
    int translate(std::uint16_t, std::uint16_t, std::uint16_t) override
    {
        static constexpr std::array kCodes { -1, -10, -13, -22, -23, -5, 201, 207, 216, 250, 300,
            301, 302, 303, 400, 401, 402, 403, 404, 405, 406, 407, 500, 501, 502, 505, 506, 508,
            509, 510, 600, 601, 602, 603, 604, 605, 606, 607, 701, 727, 0, 20, 127 };
        const std::uint8_t choice = m_bytes.byte();
        return choice < kCodes.size() ? kCodes.at(choice) : choice * 7 - 900;
    }

private:
    ByteReader& m_bytes;
};

class FuzzedPorts : public MidiInputPorts {
public:
    ConsoleMidiState console = ConsoleMidiState::Off;
    ConsoleMidiState consoleMode() const override { return console; }
};

void setUp(ByteReader& bytes, Performance& performance)
{
    MidiOptions& midi = performance.options().midi;
    midi.NoteOff = flag(bytes);
    midi.PitchNotes = flag(bytes);
    midi.VelocityOpacity = flag(bytes);
    midi.VelocityVolume = flag(bytes);
    midi.DisableBlackNotes = flag(bytes);
    midi.DisablePitchAndMod = flag(bytes);
    midi.KaossPad = flag(bytes);
    midi.IndividualChannels = flag(bytes);
    midi.DisablePatchLoading = flag(bytes);
    midi.MIDIguitairMode = flag(bytes);
    midi.UseCircbuf = flag(bytes);
    midi.CurrentClipMIDIfollow = flag(bytes);
    midi.channel = bytes.byte() % 17;
    midi.pitchWheelParameter = bytes.byte() % 32;
    for (std::size_t parameter = 0; parameter < midi.controllers.size(); ++parameter) {
        midi.controllers.at(parameter) = bytes.byte() % 129 - 1;
        midi.controllerInverts.at(parameter) = flag(bytes);
    }
    GlobalState& globals = performance.globals();
    globals.crossfadeEnabled = flag(bytes);
    globals.crossfadeSlotA = bytes.byte() % kSlotCount + 1;
    globals.crossfadeSlotB = bytes.byte() % kSlotCount + 1;
    globals.selectedSlot = bytes.byte() % (kSlotCount + 2) - 1;
    for (int number = 1; number <= kSlotCount; ++number) {
        TPlayAvistruct& slot = performance.slot(number);
        const std::uint8_t state = bytes.byte();
        slot.Loaded = (state & 1) != 0;
        slot.DisableMIDI = (state & 2) != 0;
        slot.InstallationMode = (state & 4) != 0;
        slot.Mute = (state & 8) != 0;
        slot.Playing = (state & 16) != 0;
        slot.Paused = (state & 32) != 0;
        slot.Shown = (state & 64) != 0;
        slot.Direction = (state & 128) != 0 ? 2 : 1;
        slot.Length = std::int64_t { bytes.byte() } * 1000;
        slot.OutPoint = slot.Length;
        slot.Volume = -bytes.byte() * 39;
        slot.Balance = bytes.byte() % 128;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    AudioMailbox mailbox;
    fuzz::SteppedPlayback playback;
    EventProcessor processor(performance, mailbox, playback);
    CheckingSink events(performance, processor);
    ByteReader bytes(data, size);
    setUp(bytes, performance);
    SelectionOnlyInspector inspector(performance);
    FuzzedPorts ports;
    ports.console = static_cast<ConsoleMidiState>(bytes.byte() % 4);
    EffectHostPort effects;
    FuzzedSurface surface(bytes);
    surface.running = flag(bytes);
    events.surfaceActive = surface.running;
    const int rate = 8000 + bytes.byte() * 400;
    MidiInterpreter interpreter(
        { performance, events, inspector, ports, effects, surface, [rate] { return rate; } });

    for (int message = 0; bytes.more() && message < 500; ++message) {
        const std::uint8_t gate = bytes.byte();
        GlobalState& globals = performance.globals();
        globals.loadingBusy = gate == 1;
        globals.standby = gate == 2;
        const std::uint16_t status = bytes.byte();
        const std::uint16_t data1 = bytes.byte() & 0x7F;
        const std::uint16_t data2 = bytes.byte() & 0x7F;
        const int before = events.sent;
        interpreter.ProcessMidiMessage(status, data1, data2);
        if (globals.loadingBusy || (globals.standby && !surface.running)) {
            check(events.sent == before);
        }
    }
    return 0;
}
