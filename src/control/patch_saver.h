#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/performance.h"
#include "persistence/patch_file.h"
#include "playback/clip_loader.h"

namespace oskel {

// The whole set-up as a patch: what is saved of every slot and of the global options.
PatchContents patchOf(const Performance& performance, const ClipLoader& loader,
    const std::filesystem::path& patchFile);

// Saves the set-up to a patch file. Every slot stops and the instrument stands by meanwhile,
// so that no thread reads the records while they are saved. The file is written beside the
// old one and renamed over it: a failed save leaves the old patch whole. Main thread.
class PatchSaver {
public:
    PatchSaver(Performance& performance, EventSink& events, const ClipLoader& loader);

    // The problem in the performer's words, or nothing once saved.
    std::optional<std::string> SavePatch(const std::filesystem::path& file);

private:
    void standBy();
    void leaveStandby();

    Performance& m_performance;
    EventSink& m_events;
    const ClipLoader& m_loader;
};

} // namespace oskel
