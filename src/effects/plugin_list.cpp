#include "effects/plugin_list.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "core/ascii.h"
#include "effects/frei0r_filter.h"
#include "platform/shared_library.h"

namespace oskel {

namespace {

bool hasPluginSuffix(const std::filesystem::path& path)
{
    const std::string name = path.filename().string();
    constexpr std::string_view kSuffix = ".so";
    return name.size() > kSuffix.size()
        && sameWithoutCase(std::string_view(name).substr(name.size() - kSuffix.size()), kSuffix);
}

std::vector<std::filesystem::path> filesOf(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (!entry->is_directory(typeError)) {
            files.push_back(entry->path());
        }
    }
    std::sort(files.begin(), files.end(),
        [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
    return files;
}

} // namespace

bool IsPlugin(const std::filesystem::path& path, SharedLibraryLoader& loader)
{
    if (!hasPluginSuffix(path)) {
        return false;
    }
    std::string error;
    const auto library = loader.open(path, error);
    return library && library->symbol("plugMain") != nullptr;
}

PluginList PluginList::scan(const std::vector<std::filesystem::path>& folders,
    SharedLibraryLoader& loader, const std::vector<std::filesystem::path>& frei0rFolders)
{
    std::vector<PluginFile> found;
    std::set<std::string> names;
    const auto search = [&](const std::vector<std::filesystem::path>& places, bool frei0r) {
        for (const auto& folder : places) {
            for (const auto& path : filesOf(folder)) {
                const std::string name = path.filename().string();
                if (names.contains(name)) {
                    continue;
                }
                if (frei0r ? IsFrei0rFilter(path, loader) : IsPlugin(path, loader)) {
                    names.insert(name);
                    found.push_back({ name, path, frei0r });
                }
            }
        }
    };
    search(folders, false);
    search(frei0rFolders, true);
    return of(std::move(found));
}

std::string PluginList::shownName(int index) const
{
    const PluginFile* found = file(index);
    return found != nullptr && found->frei0r ? found->name + " (frei0r)" : name(index);
}

PluginList PluginList::of(std::vector<PluginFile> files)
{
    PluginList list;
    list.m_files = std::move(files);
    return list;
}

PluginList PluginList::without(const std::string& fileName) const
{
    std::vector<PluginFile> kept;
    std::copy_if(m_files.begin(), m_files.end(), std::back_inserter(kept),
        [&](const PluginFile& file) { return file.name != fileName; });
    return of(std::move(kept));
}

std::string PluginList::name(int index) const
{
    if (index == 0) {
        return kNoPlugin;
    }
    const PluginFile* found = file(index);
    return found != nullptr ? found->name : std::string();
}

const PluginFile* PluginList::file(int index) const
{
    if (index < 1 || index >= size()) {
        return nullptr;
    }
    return &m_files.at(static_cast<std::size_t>(index - 1));
}

int PluginList::indexOf(const std::string& fileName) const
{
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        if (m_files[i].name == fileName) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace oskel
