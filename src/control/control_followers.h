#pragma once

#include "core/control_table.h"
#include "core/performance.h"
#include "playback/tempo.h"

namespace oskel {

// What follows a value set through the control table, beyond the value itself: the tempo
// and the slots that follow it, and the slot's status buttons on the clip slot grid. The
// event processor's control-changed handler. Main thread.
void followControlChange(
    Performance& performance, Tempo& tempo, const ControlEntry& entry, int slot);

} // namespace oskel
