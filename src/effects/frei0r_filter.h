#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "effects/plugin_calls.h"

namespace oskel {

class SharedLibrary;

// A frei0r filter presented as a plug-in of ours: its calls answer the interface's function
// codes. Frames come in as ours (24 bits, rows bottom-up) and go to the filter as it wants
// them (32 bits in its colour model, rows top-down, each side padded to a multiple of 8) and
// back. Its parameters fill the eight places in order: a switch or a number takes one, a
// colour three (red, green, blue), a position two (x, y); texts are left out. The filter's
// library stays loaded while the object lives.
//
// frei0r lets calls on different instances of a filter run at once; the library-wide calls
// (init, deinit, construct, destruct) are serialised all the same.
class Frei0rFilter : public PluginBackend {
public:
    // The filter of the library, or null when it is no frei0r filter (a source or a mixer, or
    // an entry point missing).
    static std::shared_ptr<Frei0rFilter> open(std::unique_ptr<SharedLibrary> library);
    ~Frei0rFilter() override;

    plugMainUnion call(std::uint32_t code, FFParameter input, FFInstanceID instance) override;

    struct Entries;
    struct Parameter;
    struct Instance;

private:
    explicit Frei0rFilter(std::unique_ptr<SharedLibrary> library);
    bool readInfo();
    void toFilter(Instance& instance, const std::uint8_t* frame) const;
    void fromFilter(const Instance& instance, std::uint8_t* frame) const;

    std::unique_ptr<Entries> m_entries;
    std::unique_ptr<SharedLibrary> m_library;
    struct State;
    std::unique_ptr<State> m_state;
};

class SharedLibraryLoader;

// The library at `path` is a frei0r filter: a ".so" that loads and exports the frei0r entry
// points, and says it is a filter.
bool IsFrei0rFilter(const std::filesystem::path& path, SharedLibraryLoader& loader);

} // namespace oskel
