// Random sequences of performance events against slots loaded with silent buffers. The
// audio command thread's work is done in step after each event. Whatever the events, no
// crash, and every slot keeps its invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/event_processor.h"
#include "fuzz_support.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/slot_commands.h"

namespace {

using namespace oskel;
using fuzz::ByteReader;
using fuzz::check;
using fuzz::SteppedPlayback;

void checkInvariants(Performance& performance)
{
    for (int number = 1; number <= kSlotCount; ++number) {
        const TPlayAvistruct& slot = performance.slot(number);
        check(slot.Balance >= 0 && slot.Balance <= 127);
        check(slot.Volume >= -10000 && slot.Volume <= 0);
        check(slot.AlphaLevel >= 0 && slot.AlphaLevel <= 256);
        check(slot.LumaKeyLevel >= 0 && slot.LumaKeyLevel <= 765);
        check(slot.LumaBlendLevel >= 0 && slot.LumaBlendLevel <= 765);
        check(slot.Direction == 1 || slot.Direction == 2);
        if (slot.Loaded) {
            check(
                slot.InPoint >= 0 && slot.InPoint <= slot.OutPoint && slot.OutPoint <= slot.Length);
        }
    }
    const GlobalState& globals = performance.globals();
    check(globals.trailsStrength >= 0 && globals.trailsStrength <= 64);
    check(LayerStack::isPermutation(performance.layerStack().order()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    AudioMailbox mailbox;
    ManualClockSoundDevice device;
    AudioEngine engine(device, ui, [] { return std::optional<std::int64_t>(); });
    SteppedPlayback playback;
    EventProcessor processor(performance, mailbox, playback);
    processor.setSoundDevice(&device);
    AudioCommandContext audio { performance.slots(), performance.globals(),
        performance.layerStack(), [](const std::string&) {} };

    for (int number : { 1, 2, 5, 16 }) {
        TPlayAvistruct& slot = performance.slot(number);
        slot.FrameCount = number * 3;
        slot.FrameRate = 25;
        slot.ClipWidth = 320;
        slot.ClipHeight = 240;
        slot.InstallationMode = number == 5;
        engine.BuildSilentBuffers(slot);
        slot.Loaded = true;
    }
    device.start();

    ByteReader input(data, size);
    for (int events = 0; input.more() && events < 400; ++events) {
        const std::uint8_t code = input.byte() % 48;
        const std::int32_t slot = static_cast<std::int8_t>(input.byte()) % 20;
        const std::int32_t value = input.number();
        const std::int32_t value2 = input.number();
        try {
            processor.ProcessEvent(TSlotEvent { code, value, value2, slot });
            serveAudioMailbox(audio, mailbox);
        } catch (const SoundError&) {
            // A refused buffer call ends the event, as it ends it in the program.
        }
        device.advance(input.byte() % 50);
        checkInvariants(performance);
    }
    return 0;
}
