#pragma once

#include "core/pan_law.h"
#include "core/slot_event.h"
#include "core/slot_record.h"

namespace oskel {

// The trigger (event 0) that starts a slot with its own sound settings: its volume, or the
// mute level when it is muted, and its balance.
inline TSlotEvent triggerEventFor(int slot, const TPlayAvistruct& record)
{
    return TSlotEvent { event_code::kTrigger, record.Mute ? kMutedVolume : record.Volume,
        record.Balance, slot };
}

} // namespace oskel
