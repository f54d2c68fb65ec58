#include "control/control_followers.h"

#include "control/slot_grid_layout.h"

namespace oskel {

void followControlChange(
    Performance& performance, Tempo& tempo, const ControlEntry& entry, int slot)
{
    tempo.controlChanged(entry, slot);
    if (entry.scope == ControlScope::Slot) {
        slot_grid::showStatusButtons(performance.ui(), slot, performance.slot(slot));
    }
}

} // namespace oskel
