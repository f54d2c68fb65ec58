#pragma once

#include <filesystem>

#include "effects/effect_host.h"
#include "platform/locations.h"

namespace oskel {

// Where the instrument finds effect plug-ins: the program's own, installed beside it
// ("plugins" next to the program in the build tree, lib/oskel3/plugins under the installed
// program's prefix), then the performer's, $XDG_DATA_HOME/oskel3/plugins. The wet/dry mixer
// "TarnMixer.so" is looked for in each plug-ins folder, then in the program's folders.
EffectFolders effectFolders(const Locations& locations, const std::filesystem::path& program,
    std::vector<std::filesystem::path> frei0r = {});
// The folders of frei0r filters: those $FREI0R_PATH names (separated by colons) when it is
// set, else ~/.frei0r-1/lib, /usr/local/lib/frei0r-1 and the system's.
std::vector<std::filesystem::path> frei0rFolders(const EnvironmentLookup& environment);
// The frei0r folders of the running program's environment.
std::vector<std::filesystem::path> systemFrei0rFolders();

} // namespace oskel
