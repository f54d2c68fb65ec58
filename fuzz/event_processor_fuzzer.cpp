// Random sequences of performance events against slots loaded with silent buffers. The
// audio command thread's work is done in step after each event. Whatever the events, no
// crash, and every slot keeps its invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/event_processor.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/slot_commands.h"

namespace {

using namespace oskel;

// The audio command thread, done in step: always there, never suspended.
class SteppedPlayback : public PlaybackControl {
public:
    bool audioThreadExists() const override { return m_running; }
    bool frameThreadRunning() const override { return false; }
    bool audioThreadRunning() const override { return m_running; }
    bool audioThreadSuspended() const override { return false; }
    void startAudioThread() override { m_running = true; }
    void resumeAudioThread() override { }
    void stopAudioThread() override { m_running = false; }

private:
    bool m_running = true;
};

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool more() const { return m_position < m_size; }
    std::uint8_t byte() { return more() ? m_data[m_position++] : 0; }
    std::int32_t number()
    {
        // Mostly small values, which hit the interesting ranges; sometimes anything at all.
        const std::uint8_t kind = byte();
        if (kind % 4 == 0) {
            std::uint32_t raw = 0;
            for (int i = 0; i < 4; ++i) {
                raw = (raw << 8) | byte();
            }
            std::int32_t value = 0;
            std::memcpy(&value, &raw, sizeof value);
            return value;
        }
        const auto low = static_cast<std::int16_t>((byte() << 8) | byte());
        return kind % 4 == 1 ? low : kind % 4 == 2 ? low % 800 : -(std::abs(low) % 10001);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

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
