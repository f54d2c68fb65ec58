#include "playback/slot_commands.h"

#include <algorithm>
#include <thread>

#include "core/pan_law.h"
#include "playback/audio_engine.h"

namespace oskel {

namespace {

// Positions are whole sample frames inside the buffer.
std::int64_t insideBuffer(std::int64_t position, const TPlayAvistruct& slot)
{
    const std::int64_t lastFrame = slot.Length - std::max<std::int32_t>(slot.BlockAlign, 1);
    return std::clamp<std::int64_t>(position, 0, std::max<std::int64_t>(lastFrame, 0));
}

bool positionBuffer(SoundBuffer* buffer, std::int64_t position)
{
    if (buffer == nullptr) {
        return false;
    }
    try {
        buffer->setPosition(position);
        return true;
    } catch (const SoundError&) {
        return false;
    }
}

void play(SoundBuffer& buffer, bool looping, const char* failure)
{
    try {
        buffer.play(looping);
    } catch (const SoundError&) {
        throw SoundError(failure);
    }
}

void startBuffer(AudioCommandContext& context, TPlayAvistruct& record, SoundBuffer& buffer,
                 int volume, int pan)
{
    setBothVolumes(record, volume);
    if (context.globals.Loop) {
        play(buffer, true, "Could not play");
        record.Looping = true;
    } else {
        play(buffer, false, "Could not play");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        record.Looping = false;
    }
    setBothPans(record, pan);
}

} // namespace

void carryOutTrigger(AudioCommandContext& context, int slot, int volume, int pan)
{
    TPlayAvistruct& record = context.slots[slot];
    const bool forwards = record.Direction == 1;
    std::int64_t position = record.InPoint;
    if (forwards) {
        record.CurrentFrame = 0;
    } else {
        const std::int64_t outPoint = record.OutPoint;
        position = outPoint == 0 ? 0 : record.Length - outPoint;
    }
    const std::shared_ptr<SoundBuffer> buffer = activeBuffer(record);
    if (positionBuffer(buffer.get(), insideBuffer(position, record))) {
        startBuffer(context, record, *buffer, volume, pan);
    } else {
        context.reportStatus("Err: SetPos in Trigger");
    }
    record.Started = true;
    record.Playing = true;
    if (context.globals.Layering) {
        context.layers.bringToFront(slot);
    }
}

void carryOutDirectionChange(AudioCommandContext& context, int slot, int direction)
{
    TPlayAvistruct& record = context.slots[slot];
    record.ReverseFrame = record.CurrentFrame.load();
    record.Reversing = true;
    const bool toBackwards = direction == 2 && record.Direction == 1;
    const bool toForwards = direction != 0 && direction != 2 && record.Direction == 2;
    if (toBackwards || toForwards) {
        const auto& from = toBackwards ? record.ForwardBuffer : record.BackwardBuffer;
        const auto& to = toBackwards ? record.BackwardBuffer : record.ForwardBuffer;
        std::int64_t position = 0;
        if (record.Playing && from) {
            position = insideBuffer(record.Length - from->playCursor(), record);
        }
        if (!positionBuffer(to.get(), position)) {
            context.reportStatus(toBackwards ? "Err: BakBuf SetPos in ChDir"
                                             : "Err: FwdBuf SetPos in ChDir");
        } else {
            if (record.Playing && !record.Paused) {
                StopSlotSound(record);
                play(*to, context.globals.Loop,
                     toBackwards ? "Could not play Backwards" : "Could not play Forwards");
            }
            record.Direction = toBackwards ? 2 : 1;
        }
    }
    record.Reversing = false;
}

void RestartSlot(TPlayAvistruct& slot)
{
    if (!slot.Loaded) {
        return;
    }
    const bool forwards = slot.Direction == 1;
    const std::shared_ptr<SoundBuffer> buffer = activeBuffer(slot);
    if (forwards) {
        slot.CurrentFrame = 0;
    }
    if (!positionBuffer(buffer.get(), insideBuffer(slot.InPoint, slot))) {
        throw SoundError(forwards ? "Could not set position" : "Could not set Bak position");
    }
    if (slot.Mute) {
        try {
            buffer->setVolume(kMutedVolume);
        } catch (const SoundError&) {
            throw SoundError("Could not set volume");
        }
    }
    play(*buffer, true, "Could not play");
    slot.Looping = true;
    slot.Started = true;
    slot.Playing = true;
}

} // namespace oskel
