#include "control/patch_loader.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "control/slot_grid_layout.h"
#include "core/control_names.h"
#include "core/control_table.h"
#include "core/pan_law.h"
#include "core/shown_text.h"
#include "core/slot_sound.h"
#include "core/status_text.h"
#include "platform/memory_status.h"
#include "sources/live_source_name.h"

namespace oskel {

namespace {

namespace fs = std::filesystem;

bool isRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string loadingStatusText()
{
    std::string text = "Loading OKP ... ";
    if (const auto free = availableMemoryBytes()) {
        text += std::to_string(*free / (1024 * 1024)) + " Mb RAM Free";
    }
    return text;
}

} // namespace

PatchLoader::PatchLoader(Links links)
    : m_links(std::move(links))
{
}

void PatchLoader::set(std::size_t entry, int slot, std::int64_t value)
{
    const auto narrowed = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    setControl(m_links.events, m_links.performance, ControlAddress { entry, slot }, narrowed);
}

void PatchLoader::set(const ControlAddress& address, std::int64_t value)
{
    set(address.index, address.slot, value);
}

void PatchLoader::warn(std::string_view text)
{
    m_links.performance.ui().showMessage(text);
}

void PatchLoader::skipped(std::string text)
{
    m_skipped.push_back(std::move(text));
}

PatchLoader::Outcome PatchLoader::LoadPatch(const fs::path& file, bool throughMidi)
{
    GlobalState& globals = m_links.performance.globals();
    if (globals.loadingBusy) {
        return Outcome::Busy;
    }
    globals.loadingBusy = true;
    m_loading = true;
    try {
        return load(file, throughMidi);
    } catch (...) {
        // Whatever failed, the instrument is free to load again.
        m_loading = false;
        globals.loadingBusy = false;
        m_links.performance.ui().showControlValue(control::kPatchLabel, "No Patch Loaded");
        throw;
    }
}

PatchLoader::Outcome PatchLoader::load(const fs::path& file, bool throughMidi)
{
    Performance& performance = m_links.performance;
    GlobalState& globals = performance.globals();
    m_fallbackWarned = false;
    m_skipped.clear();
    globals.clipNotice.clear();
    UserInterfacePort& ui = performance.ui();
    ui.setStatusText(loadingStatusText());
    ui.showControlValue(control::kPatchLabel, "Patch - " + shownText(file.filename()));

    IniProfile profile;
    if (!readFile(file, profile)) {
        finish(false);
        return Outcome::Unreadable;
    }
    if (!globals.LivePatchLoading) {
        stopEverything();
    }
    globals.currentPatchPath = file.string();
    const PatchContents patch = readPatch(profile);
    applyGlobals(patch, throughMidi);
    m_searchCancelled = false;
    if (patch.current) {
        applyLayerStack(patch);
    }

    std::vector<int> loaded;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (skipsPlayingSlot(slot)) {
            continue;
        }
        const PatchSlot& stored = patch.slots.at(static_cast<std::size_t>(slot - 1));
        if (!openClip(slot, stored)) {
            continue;
        }
        if (patch.current) {
            applySlot(slot, patch);
        } else {
            placeAsOldPatch(slot);
        }
        loaded.push_back(slot);
    }
    readyLoadedSlots(loaded, file);
    finish(!loaded.empty());
    return loaded.empty() ? Outcome::NoClip : Outcome::Loaded;
}

bool PatchLoader::readFile(const fs::path& file, IniProfile& profile)
{
    IniReadResult read = readIniFile(file);
    if (read.status == IniFileStatus::Ok) {
        profile = std::move(read.profile);
        return true;
    }
    const std::string reason = read.status == IniFileStatus::Missing
        ? "Cannot read " + shownText(file) + ": there is no such file"
        : read.error;
    warn("Could not load the patch. " + reason);
    return false;
}

void PatchLoader::stopEverything()
{
    set(masterControl("StopEverySlot"), 0);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        TPlayAvistruct& record = m_links.performance.slot(slot);
        if (record.Playing) {
            StopSlotSound(record);
        }
    }
}

void PatchLoader::applyGlobals(const PatchContents& patch, bool throughMidi)
{
    const PatchGlobals& stored = patch.globals;
    const GlobalState& globals = m_links.performance.globals();
    set(masterControl("Loop"), stored.Loop);
    set(masterControl("Layering"), stored.Layering);
    if (stored.BPM && *stored.BPM > 0) {
        // Far beyond the tempo's range, which the table brings it into.
        const double bpm = std::min(*stored.BPM, 1e9);
        set(masterControl("Tempo"), static_cast<std::int64_t>(bpm * kDecimalScale + 0.5));
    }
    set(masterControl("AutoBpm"), stored.BPMfollow.value_or(globals.BPMfollow));
    set(masterControl("Monophonic"),
        patch.midi.NewTriggerStopsClips.value_or(globals.NewTriggerStopsClips));
    if (m_links.performance.options().midi.OKPloadMIDIconfig) {
        applyMidiSetUp(patch, throughMidi);
    }
    set(masterControl("Trails"), stored.Trails);
    set(masterControl("TrailsStrength"), stored.trailsStrength.value_or(globals.trailsStrength));
    set(masterControl("ConstrainMovement"),
        stored.ConstrainMovement.value_or(globals.ConstrainMovement));
    set(masterControl("PcNoteOff"), stored.PCKeyNoteOff.value_or(globals.PCKeyNoteOff));
    set(masterControl("CrossfadeAudio"), stored.CrossfadeAudio.value_or(globals.CrossfadeAudio));
    set(masterControl("CrossfadeVideo"), stored.CrossfadeVideo.value_or(globals.CrossfadeVideo));
}

void PatchLoader::applyMidiSetUp(const PatchContents& patch, bool throughMidi)
{
    const MidiOptions wanted = applyPatchMidi(
        m_links.performance.options().midi, patch.globals, patch.midi, throughMidi);
    set(masterControl("SixteenMidiChannels"), wanted.IndividualChannels);
    set(masterControl("MidiNoteOff"), wanted.NoteOff);
    set(masterControl("PitchNotes"), wanted.PitchNotes);
    set(masterControl("DisableBlackNotes"), wanted.DisableBlackNotes);
    set(masterControl("DisablePitchAndMod"), wanted.DisablePitchAndMod);
    set(masterControl("GuitarMode"), wanted.MIDIguitairMode);
    set(masterControl("VelocityVolume"), wanted.VelocityVolume);
    set(masterControl("VelocityOpacity"), wanted.VelocityOpacity);
    set(masterControl("KaossPad"), wanted.KaossPad);
    set(masterControl("MidiInputBuffer"), wanted.UseCircbuf);
    for (int parameter = 0; parameter < kMidiParameterCount; ++parameter) {
        const auto at = static_cast<std::size_t>(parameter);
        set(midiControllerControl(parameter), wanted.controllers.at(at));
        set(midiInvertControl(parameter), wanted.controllerInverts.at(at));
    }
}

void PatchLoader::applyLayerStack(const PatchContents& patch)
{
    const RepairedLayerStack repaired = repairLayerStack(patch.layerStack);
    m_links.performance.layerStack().setOrder(repaired.order);
    if (repaired.repaired) {
        skipped("the layer order, which was not a whole order of the sixteen slots");
    }
}

// With live loading a playing slot stays as it is, unless it is a hidden sync-mode slot.
bool PatchLoader::skipsPlayingSlot(int slot) const
{
    const TPlayAvistruct& record = m_links.performance.slots()[slot];
    return m_links.performance.globals().LivePatchLoading && record.Playing
        && (!record.InstallationMode || record.Shown);
}

void PatchLoader::clearSlot(int slot)
{
    Performance& performance = m_links.performance;
    TPlayAvistruct& record = performance.slot(slot);
    if (record.Loaded) {
        if (record.Playing) {
            StopSlotSound(record);
        }
        record.Playing = false;
        performance.UnloadSlot(slot, false);
        performance.ui().blankThumbnail(slot);
    }
    performance.SlotStatusColour(slot, SlotState::Stopped);
    performance.ui().setSlotLetterBackground(slot, SlotColour::Black);
    record.FoundNearPatch = false;
}

LostFileSearch PatchLoader::searchContext() const
{
    const GlobalState& globals = m_links.performance.globals();
    return LostFileSearch { fs::path(globals.currentPatchPath).parent_path(), globals.lastClipPath,
        globals.clipFolderHistory, m_links.clipFolder, isRegularFile };
}

std::optional<FoundClip> PatchLoader::locateClip(const std::string& stored)
{
    const bool usable = isStoredPathAbsolute(stored) && !isWindowsStoredPath(stored);
    if (usable && isRegularFile(stored)) {
        return FoundClip { stored, stored, false, std::nullopt };
    }
    GlobalState& globals = m_links.performance.globals();
    if (auto found = findLostClip(stored, searchContext())) {
        if (found->newLastClipPath) {
            globals.lastClipPath = *found->newLastClipPath;
        }
        return found;
    }
    if (m_searchCancelled || !m_dialog) {
        skipped("the clip " + shownText(stored) + ", which was not found");
        return std::nullopt;
    }
    const fs::path start = fs::path(globals.lastClipPath).parent_path();
    const auto chosen = m_dialog("Please locate lost clip", start, stored);
    if (!chosen || !isRegularFile(*chosen)) {
        m_searchCancelled = true;
        skipped("the clip " + shownText(stored) + ", which was not found");
        return std::nullopt;
    }
    globals.lastClipPath = chosen->string();
    return FoundClip { chosen->string(), *chosen, false, std::nullopt };
}

bool PatchLoader::openClip(int slot, const PatchSlot& stored)
{
    clearSlot(slot);
    if (stored.fileName.empty()) {
        return false;
    }
    if (holdsNul(stored.fileName)) {
        skipped("the clip " + shownText(stored.fileName) + ", whose name holds a NUL byte");
        return false;
    }
    // A camera or a stream is reopened by its name, never searched for as a file.
    const auto found = isLiveSourceName(stored.fileName)
        ? std::optional(FoundClip { stored.fileName, stored.fileName, false, std::nullopt })
        : locateClip(localStoredPath(stored.fileName));
    if (!found) {
        return false;
    }
    TPlayAvistruct& record = m_links.performance.slot(slot);
    record.FileName = found->name;
    record.FoundNearPatch = found->nextToPatch;
    bool fellBack = false;
    const bool opened = m_links.loader.openPatchClip(slot, stored.sourceSystemStreaming, fellBack);
    if (fellBack && opened && !m_fallbackWarned) {
        const Options& options = m_links.performance.options();
        m_fallbackWarned = true;
        warn("Warning: Failed to find VFW codec for clip "
            + std::string(slot_grid::slotCaption(slot_grid::captionMode(options),
                m_links.performance.globals().keyLetters.layout(), slot))
            + ", falling back to DirectShow. Perfomance will be severely impaired.");
    }
    if (!opened) {
        const std::string& why = m_links.loader.lastProblem();
        skipped("the clip " + shownClipName(found->name) + ", which could not be opened"
            + (why.empty() ? "" : " (" + shownText(why) + ")"));
    }
    return opened;
}

void PatchLoader::placeAsOldPatch(int slot)
{
    TPlayAvistruct& record = m_links.performance.slot(slot);
    m_links.loader.placeNewClip(record, false);
    m_links.tempo.clipLoaded(slot);
}

void PatchLoader::readyLoadedSlots(const std::vector<int>& loaded, const fs::path& file)
{
    Performance& performance = m_links.performance;
    for (const int slot : loaded) {
        TPlayAvistruct& record = performance.slot(slot);
        for (const auto& buffer : { record.ForwardBuffer, record.BackwardBuffer }) {
            if (buffer) {
                buffer->setVolume(kMutedVolume);
            }
        }
        record.TextureDirty = true;
    }
    if (loaded.empty()) {
        return;
    }
    m_links.loader.clipReady(loaded.front());
    performance.ui().showControlValue(
        control::kGridCaption, "Thumbnails - " + shownText(file.filename()));
    performance.globals().currentPatchPath = file.string();
    performance.globals().texturesPending = true;
    if (m_links.restartSyncSlots) {
        m_links.restartSyncSlots(true);
    }
    m_links.tempo.ApplyFollowTempoAll();
    if (m_links.clipsChanged) {
        m_links.clipsChanged();
    }
}

void PatchLoader::finish(bool anyLoaded)
{
    GlobalState& globals = m_links.performance.globals();
    if (!anyLoaded) {
        m_loading = false;
        globals.loadingBusy = false;
        m_links.performance.ui().showControlValue(control::kPatchLabel, "No Patch Loaded");
        m_links.performance.ui().setStatusText(readyStatusText(availableMemoryBytes()));
        if (m_finished) {
            m_finished(false);
        }
        return;
    }
    // The frame thread ends the load once it has made the textures; without one, nothing
    // is left to wait for.
    if (!m_links.playback.frameThreadRunning()) {
        clipsReady();
    }
}

void PatchLoader::clipsReady()
{
    if (!m_loading) {
        return;
    }
    m_loading = false;
    GlobalState& globals = m_links.performance.globals();
    globals.loadingBusy = false;
    std::string status = readyStatusText(availableMemoryBytes(), globals.clipNotice);
    if (!m_skipped.empty()) {
        status += " - the patch loaded without ";
        for (std::size_t k = 0; k < m_skipped.size(); ++k) {
            status += (k == 0 ? "" : "; ") + m_skipped[k];
        }
    }
    m_links.performance.ui().setStatusText(status);
    if (m_finished) {
        m_finished(true);
    }
}

} // namespace oskel
