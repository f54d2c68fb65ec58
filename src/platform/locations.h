#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace oskel {

// Where the program keeps its files:
// - configFolder: $XDG_CONFIG_HOME/oskel3, by default ~/.config/oskel3 (the settings file);
// - dataFolder: $XDG_DATA_HOME/oskel3, by default ~/.local/share/oskel3 (the user's files);
// - clipFolder: dataFolder/"video clips", the default folder for clips and patches;
// - tempFolder: $TMPDIR, by default /tmp.
struct Locations {
    std::filesystem::path configFolder;
    std::filesystem::path dataFolder;
    std::filesystem::path clipFolder;
    std::filesystem::path tempFolder;
};

using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

Locations locationsFrom(const EnvironmentLookup& environment);
// From the process environment.
Locations systemLocations();

} // namespace oskel
