#pragma once

#include <cstdint>

#include "core/slot_record.h"

namespace oskel {

// Puts a record into the empty state. The load state is always cleared; the settings are
// reset too unless keepSettings is true, in which case a slot in sync mode is left muted.
// A fresh reset gives NumberOfBeats the global DefaultBeatsPerClip.
void ResetSlot(TPlayAvistruct& slot, bool keepSettings, std::int32_t defaultBeatsPerClip);

} // namespace oskel
