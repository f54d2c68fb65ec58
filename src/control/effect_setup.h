#pragma once

#include "core/event_rules.h"

namespace oskel {

class Performance;

// A slot's effect as the performer handles it from the keys and the clip slot grid, through
// the control table's effect entries. Main thread.

// The effect on when off, off when on; nothing for a slot without a plug-in.
void toggleEffect(Performance& performance, EventSink& events, int slot);
// The source slot's plug-in, effect switch, parameters and wet/dry mix onto the target slot,
// with an instance of its own (CopyFFsetup).
void copyEffectSetup(Performance& performance, EventSink& events, int sourceSlot, int targetSlot);

} // namespace oskel
