#pragma once

#include <filesystem>

#include "effects/effect_host.h"
#include "platform/locations.h"

namespace oskel {

// Where the instrument finds effect plug-ins: the program's own, installed beside it
// ("plugins" next to the program in the build tree, lib/oskel3/plugins under the installed
// program's prefix), then the performer's, $XDG_DATA_HOME/oskel3/plugins. The wet/dry mixer
// "TarnMixer.so" is looked for in each plug-ins folder, then in the program's folders.
EffectFolders effectFolders(const Locations& locations, const std::filesystem::path& program);
// The same for the running program.
EffectFolders effectFolders(const Locations& locations);

} // namespace oskel
