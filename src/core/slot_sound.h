#pragma once

#include <cstdint>
#include <memory>

#include "core/slot_record.h"
#include "platform/sound_buffer.h"

namespace oskel {

// What the slot model does to a slot's two sound buffers (forwards and reversed), whoever
// asks: the event processor, the grid, the loader and the audio command thread. Failures throw
// SoundError with the message the performer sees.

// Stops whichever of the slot's two buffers plays.
void StopSlotSound(TPlayAvistruct& slot);
// Both buffers of the slot, where present.
void setBothVolumes(TPlayAvistruct& slot, int volume);
void setBothPans(TPlayAvistruct& slot, int pan);
void setBothFrequencies(TPlayAvistruct& slot, int hertz);
// The buffer of the slot's current direction.
std::shared_ptr<SoundBuffer> activeBuffer(const TPlayAvistruct& slot);

// A position kept to whole sample frames inside the slot's buffer.
std::int64_t insideBuffer(std::int64_t position, const TPlayAvistruct& slot);
// Moves the buffer's play cursor; false when there is no buffer or it refuses.
bool positionBuffer(SoundBuffer* buffer, std::int64_t position);
// Starts the buffer; a refusal throws SoundError(failure).
void playBuffer(SoundBuffer& buffer, bool looping, const char* failure);

// Main thread: plays the slot again from its in point, always looping.
void RestartSlot(TPlayAvistruct& slot);

} // namespace oskel
