#include "core/slot_sound.h"

#include <algorithm>

#include "core/pan_law.h"

namespace oskel {

void StopSlotSound(TPlayAvistruct& slot)
{
    for (const auto& buffer : { slot.ForwardBuffer, slot.BackwardBuffer }) {
        if (buffer && buffer->isPlaying()) {
            buffer->stop();
        }
    }
}

void setBothVolumes(TPlayAvistruct& slot, int volume)
{
    try {
        for (const auto& buffer : { slot.ForwardBuffer, slot.BackwardBuffer }) {
            if (buffer) {
                buffer->setVolume(volume);
            }
        }
    } catch (const SoundError&) {
        throw SoundError("Could not set volume");
    }
}

void setBothPans(TPlayAvistruct& slot, int pan)
{
    const auto setPan = [pan](const std::shared_ptr<SoundBuffer>& buffer, const char* failure) {
        try {
            if (buffer) {
                buffer->setPan(pan);
            }
        } catch (const SoundError&) {
            throw SoundError(failure);
        }
    };
    setPan(slot.ForwardBuffer, "Could not set DS Pan");
    setPan(slot.BackwardBuffer, "Could not set bak DS Pan");
}

void setBothFrequencies(TPlayAvistruct& slot, int hertz)
{
    // Frequency changes report no failure: a refused rate leaves the speed as it was.
    for (const auto& buffer : { slot.ForwardBuffer, slot.BackwardBuffer }) {
        try {
            if (buffer) {
                buffer->setFrequency(hertz);
            }
        } catch (const SoundError&) {
        }
    }
}

std::shared_ptr<SoundBuffer> activeBuffer(const TPlayAvistruct& slot)
{
    return slot.Direction == 1 ? slot.ForwardBuffer : slot.BackwardBuffer;
}

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

void playBuffer(SoundBuffer& buffer, bool looping, const char* failure)
{
    try {
        buffer.play(looping);
    } catch (const SoundError&) {
        throw SoundError(failure);
    }
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
    playBuffer(*buffer, true, "Could not play");
    slot.Looping = true;
    slot.Started = true;
    slot.Playing = true;
}

} // namespace oskel
