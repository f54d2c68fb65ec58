#pragma once

#include <cstdint>
#include <memory>

#include "core/slot_record.h"
#include "support/fake_sound_buffer.h"

namespace oskel::test {

// Makes the record look like a loaded 320 x 240 clip with `length` bytes of 44100 Hz sound in
// fake buffers, selected from start to end.
inline TPlayAvistruct& pretendLoaded(TPlayAvistruct& slot, std::int64_t length)
{
    slot.Loaded = true;
    slot.BaseFrequency = 44100;
    slot.Length = length;
    slot.OutPoint = length;
    slot.ClipWidth = 320;
    slot.ClipHeight = 240;
    slot.ForwardBuffer = std::make_shared<FakeSoundBuffer>(length, 44100);
    slot.BackwardBuffer = std::make_shared<FakeSoundBuffer>(length, 44100);
    return slot;
}

} // namespace oskel::test
