#include "app/effect_folders.h"

#include "platform/shared_library.h"

namespace oskel {

EffectFolders effectFolders(const Locations& locations, const std::filesystem::path& program)
{
    EffectFolders folders;
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

EffectFolders effectFolders(const Locations& locations)
{
    return effectFolders(locations, programFolder());
}

} // namespace oskel
