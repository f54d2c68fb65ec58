#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/performance.h"
#include "playback/clip_loader.h"
#include "recording/performance_script.h"

namespace oskel {

// The set-up as it stands when a recording starts, so that its render starts from it too:
// every slot and the global options saved as a patch to `patchFile` (nothing else changes:
// the current patch stays the performer's), and the actions that open the recording: that
// patch loaded, then the slots that are playing triggered again, the back layer first, each
// with its own volume and balance (they start again from their in points). The problem in
// the performer's words when the patch cannot be written; the recording then starts from
// nothing. Main thread.
struct SetUpSnapshot {
    std::vector<ScriptCommand> opening;
    std::optional<std::string> problem;
};
SetUpSnapshot snapshotSetUp(
    Performance& performance, const ClipLoader& loader, const std::filesystem::path& patchFile);

} // namespace oskel
