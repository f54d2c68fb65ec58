#include "recording/set_up_snapshot.h"

#include "control/patch_saver.h"
#include "core/trigger_event.h"
#include "persistence/ini_profile.h"

namespace oskel {

SetUpSnapshot snapshotSetUp(
    Performance& performance, const ClipLoader& loader, const std::filesystem::path& patchFile)
{
    SetUpSnapshot snapshot;
    IniProfile patch;
    writePatch(patch, patchOf(performance, loader, patchFile));
    if (auto problem = writeIniFile(patchFile, patch)) {
        snapshot.problem = "The set-up could not be kept with the recording: " + *problem;
        return snapshot;
    }
    snapshot.opening.push_back(PatchAction { patchFile, false });
    for (const int slot : performance.layerStack().order()) {
        const TPlayAvistruct& record = performance.slot(slot);
        if (record.Loaded && record.Playing) {
            snapshot.opening.push_back(EventAction { triggerEventFor(slot, record) });
        }
    }
    return snapshot;
}

} // namespace oskel
