#include "platform/locations.h"

#include <cstdlib>

namespace oskel {

namespace {

// Only absolute paths count, as the XDG base directory rules say.
std::optional<std::filesystem::path> absoluteFrom(
    const EnvironmentLookup& environment, const char* name)
{
    const auto value = environment(name);
    if (!value || value->empty() || value->front() != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(*value);
}

} // namespace

Locations locationsFrom(const EnvironmentLookup& environment)
{
    const std::filesystem::path home = absoluteFrom(environment, "HOME").value_or("/tmp");
    Locations locations;
    locations.configFolder
        = absoluteFrom(environment, "XDG_CONFIG_HOME").value_or(home / ".config") / "oskel3";
    locations.dataFolder
        = absoluteFrom(environment, "XDG_DATA_HOME").value_or(home / ".local" / "share") / "oskel3";
    locations.clipFolder = locations.dataFolder / "video clips";
    locations.tempFolder = absoluteFrom(environment, "TMPDIR").value_or("/tmp");
    return locations;
}

Locations systemLocations()
{
    return locationsFrom([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    });
}

} // namespace oskel
