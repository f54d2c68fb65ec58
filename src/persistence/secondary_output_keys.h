#pragma once

#include "core/options.h"
#include "persistence/ini_profile.h"

namespace oskel {

// The secondary output's keys of the settings file: [Display] "secondary-expanded" and
// "secondary-monitor", [SecDisplayForm] "Left" and "Top", and [secondaryDisplayCustom]
// "useCustomMode", "left", "top", "right", "bottom". A missing key, or one that is not a
// 32-bit integer, reads as its default (none, where the default depends on the desktop).
void readSecondaryOutputKeys(const IniProfile& ini, DisplayOptions& display);
void writeSecondaryOutputKeys(IniProfile& ini, const DisplayOptions& display);

} // namespace oskel
