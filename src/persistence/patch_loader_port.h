#pragma once

#include <filesystem>

namespace oskel {

// The loading that the patch explorer and console mode ask for, carried out by the layer
// that reads patch files and opens clips. Main thread only.
class PatchLoaderPort {
public:
    virtual ~PatchLoaderPort() = default;
    // Loads a patch file. `throughMidi`: a MIDI note or program change chose it (the MIDI
    // input buffer is on, which changes how the patch's MIDI set-up applies).
    virtual void loadPatch(const std::filesystem::path& file, bool throughMidi) = 0;
    // Loads a clip into a slot (1..16); false when it could not be loaded.
    virtual bool loadClip(int slot, const std::filesystem::path& file) = 0;
};

} // namespace oskel
