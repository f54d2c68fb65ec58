#include "app/effect_folders.h"

#include <algorithm>
#include <cstdlib>

#include "platform/shared_library.h"

namespace oskel {

EffectFolders effectFolders(const Locations& locations, const std::filesystem::path& program,
    std::vector<std::filesystem::path> frei0r)
{
    EffectFolders folders;
    folders.frei0r = std::move(frei0r);
    std::vector<std::filesystem::path> programFolders;
    if (!program.empty()) {
        // Where the install rules of plugins/ put them, relative to the program's bin folder.
        programFolders = { program, (program / ".." / "lib" / "oskel3").lexically_normal() };
    }
    for (const auto& folder : programFolders) {
        folders.plugins.push_back(folder / "plugins");
    }
    folders.plugins.push_back(locations.dataFolder / "plugins");
    for (const auto& folder : folders.plugins) {
        folders.mixerFiles.push_back(folder / EffectHost::kMixerFileName);
    }
    for (const auto& folder : programFolders) {
        folders.mixerFiles.push_back(folder / EffectHost::kMixerFileName);
    }
    return folders;
}

std::vector<std::filesystem::path> frei0rFolders(const EnvironmentLookup& environment)
{
    std::vector<std::filesystem::path> folders;
    if (const auto path = environment("FREI0R_PATH"); path && !path->empty()) {
        std::size_t start = 0;
        while (start <= path->size()) {
            const std::size_t end = std::min(path->find(':', start), path->size());
            if (end > start) {
                folders.emplace_back(path->substr(start, end - start));
            }
            start = end + 1;
        }
        return folders;
    }
    if (const auto home = environment("HOME"); home && !home->empty()) {
        folders.push_back(std::filesystem::path(*home) / ".frei0r-1" / "lib");
    }
    folders.insert(folders.end(),
        { "/usr/local/lib/frei0r-1", "/usr/lib/frei0r-1", "/usr/lib/x86_64-linux-gnu/frei0r-1" });
    return folders;
}

std::vector<std::filesystem::path> systemFrei0rFolders()
{
    return frei0rFolders([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    });
}

} // namespace oskel
