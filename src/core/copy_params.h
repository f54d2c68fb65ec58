#pragma once

#include "core/slot_record.h"

namespace oskel {

// Copies the settings of one slot onto another loaded slot: rectangle, direction, in and out
// points (fitted to the target's length), luma, sound levels and playback frequency,
// transparency and blending, sync mode, MIDI, colour swap, stencil, 3D, beats and tempo
// following. Chop, Size and the effect set-up are not copied. The target then loops.
// Returns false, changing nothing, when either slot number is invalid or the target is empty.
bool CopyParams(TPlayAviStructArray& slots, int sourceSlot, int targetSlot);

} // namespace oskel
