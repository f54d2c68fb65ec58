#include "control/patch_saver.h"

#include "core/control_names.h"
#include "core/control_table.h"
#include "core/shown_text.h"
#include "core/slot_sound.h"

namespace oskel {

namespace {

namespace fs = std::filesystem;

PatchGlobals globalsOf(const GlobalState& globals, const MidiOptions& midi)
{
    PatchGlobals stored;
    stored.Loop = globals.Loop;
    stored.Layering = globals.Layering;
    stored.IndividualMidiChannels = midi.IndividualChannels;
    stored.Trails = globals.Trails;
    stored.trailsStrength = globals.trailsStrength;
    stored.PitchNotes = midi.PitchNotes;
    stored.ConstrainMovement = globals.ConstrainMovement;
    stored.BPM = globals.BPM;
    stored.BPMfollow = globals.BPMfollow;
    stored.PCKeyNoteOff = globals.PCKeyNoteOff;
    stored.CrossfadeAudio = globals.CrossfadeAudio;
    stored.CrossfadeVideo = globals.CrossfadeVideo;
    return stored;
}

PatchMidi midiOf(const GlobalState& globals, const MidiOptions& midi)
{
    PatchMidi stored;
    stored.NoteOff = midi.NoteOff;
    stored.VelocityVolume = midi.VelocityVolume;
    stored.VelocityOpacity = midi.VelocityOpacity;
    stored.PitchNotes = midi.PitchNotes;
    stored.KaossPad = midi.KaossPad;
    stored.DisableBlackNotes = midi.DisableBlackNotes;
    stored.DisablePitchAndMod = midi.DisablePitchAndMod;
    stored.UseCircbuf = midi.UseCircbuf;
    stored.MIDIguitairMode = midi.MIDIguitairMode;
    stored.NewTriggerStopsClips = globals.NewTriggerStopsClips;
    stored.controllers = midi.controllers;
    stored.controllerInverts = midi.controllerInverts;
    return stored;
}

// A clip found next to the patch keeps its name relative to it, as long as the patch stays in
// that folder; saved elsewhere, the clip is named by where it is.
std::string storedClipName(
    const TPlayAvistruct& record, const fs::path& oldPatchFolder, const fs::path& newPatchFolder)
{
    const std::string name = record.FileName.str();
    if (!record.FoundNearPatch || oldPatchFolder == newPatchFolder) {
        return name;
    }
    return (oldPatchFolder / name).lexically_normal().string();
}

void setLook(PatchSlot& stored, const TPlayAvistruct& record)
{
    stored.left = record.Left;
    stored.top = record.Top;
    stored.right = record.Right;
    stored.bottom = record.Bottom;
    stored.lumaKeyLevel = record.LumaKeyLevel;
    stored.inverseLuma = record.InverseLuma;
    stored.lumaBlendLevel = record.LumaBlendLevel;
    stored.burn = record.Burn;
    stored.alphaLevel = record.AlphaLevel;
    stored.alpha = record.Alpha;
    stored.volume = record.Volume;
    stored.balance = record.Balance;
    stored.mute = record.Mute;
    stored.installationMode = record.InstallationMode;
    stored.disableMidi = record.DisableMIDI;
    stored.direction = record.Direction;
    stored.stencilEnabled = record.StencilEnabled;
    stored.stencilFileName = record.StencilFileName.str();
    stored.colourSwapMode = record.ColourSwapMode;
}

void setThreeDAndEffect(PatchSlot& stored, const TPlayAvistruct& record)
{
    stored.billBoard = record.BillBoard;
    stored.xRot = record.XRot;
    stored.yRot = record.YRot;
    stored.zRot = record.ZRot;
    stored.xRotSpeed = record.XRotSpeed;
    stored.yRotSpeed = record.YRotSpeed;
    stored.zRotSpeed = record.ZRotSpeed;
    stored.horzTiles = record.HorzTiles;
    stored.vertTiles = record.VertTiles;
    stored.arraySpacing = record.ArraySpacing;
    stored.size3D = record.Size3D;
    stored.effectFileName = record.FFfilename.str();
    stored.effectEnabled = record.FFenable;
    for (std::size_t k = 0; k < record.FFparams.size(); ++k) {
        stored.effectParameters.at(k) = record.FFparams.at(k);
    }
}

PatchSlot slotOf(const TPlayAvistruct& record, std::int64_t soundStreamBytes)
{
    PatchSlot stored;
    stored.loaded = record.Loaded;
    stored.inPoint = record.InPoint.load();
    if (!record.Loaded) {
        return stored;
    }
    const auto& buffer = record.ForwardBuffer;
    stored.speed = buffer ? buffer->frequency() : record.BaseFrequency;
    setLook(stored, record);
    setThreeDAndEffect(stored, record);
    stored.numberOfBeats = record.NumberOfBeats;
    stored.followBpm = record.FollowBPM;
    stored.sourceModePlay = record.SourceMode == 1;
    stored.sourceSystemStreaming = record.SourceSystem == 1;
    stored.outPoint = record.OutPoint.load();
    stored.chop = record.Chop;
    if (record.LoadedSilent) {
        const StoredPoints points
            = pointsToStore(record.InPoint, record.OutPoint, record.Length, soundStreamBytes);
        stored.inPoint = points.inPoint;
        stored.outPoint = points.outPoint;
    }
    return stored;
}

} // namespace

PatchContents patchOf(
    const Performance& performance, const ClipLoader& loader, const fs::path& patchFile)
{
    const GlobalState& globals = performance.globals();
    const MidiOptions& midi = performance.options().midi;
    PatchContents patch;
    patch.current = true;
    patch.globals = globalsOf(globals, midi);
    patch.midi = midiOf(globals, midi);
    const auto order = performance.layerStack().order();
    std::copy(order.begin(), order.end(), patch.layerStack.begin());
    const fs::path oldFolder = fs::path(globals.currentPatchPath).parent_path();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& record = performance.slots()[slot];
        PatchSlot& stored = patch.slots.at(static_cast<std::size_t>(slot - 1));
        stored = slotOf(record, record.Loaded ? loader.soundStreamBytes(slot) : 0);
        if (record.Loaded) {
            stored.fileName = storedClipName(record, oldFolder, patchFile.parent_path());
        }
    }
    return patch;
}

PatchSaver::PatchSaver(Performance& performance, EventSink& events, const ClipLoader& loader)
    : m_performance(performance)
    , m_events(events)
    , m_loader(loader)
{
}

void PatchSaver::standBy()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        TPlayAvistruct& record = m_performance.slot(slot);
        if (record.Loaded) {
            StopSlotSound(record);
        }
        record.Playing = false;
    }
    setControl(m_events, m_performance, masterControl("Standby"), 1);
    m_performance.ui().setStatusText("Saving OKP ...");
}

void PatchSaver::leaveStandby()
{
    m_performance.ui().setStatusText("");
    setControl(m_events, m_performance, masterControl("Standby"), 0);
}

std::optional<std::string> PatchSaver::SavePatch(const fs::path& file)
{
    standBy();
    IniReadResult existing = readIniFile(file);
    if (existing.status == IniFileStatus::Unreadable) {
        leaveStandby();
        return "The patch was not saved. " + existing.error;
    }
    writePatch(existing.profile, patchOf(m_performance, m_loader, file));
    if (auto problem = writeIniFile(file, existing.profile)) {
        leaveStandby();
        return "The patch was not saved. " + *problem;
    }
    GlobalState& globals = m_performance.globals();
    // Clips next to the old patch are now named where they are, unless it is the same folder.
    const fs::path oldFolder = fs::path(globals.currentPatchPath).parent_path();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        TPlayAvistruct& record = m_performance.slot(slot);
        if (record.Loaded && record.FoundNearPatch && oldFolder != file.parent_path()) {
            record.FileName = (oldFolder / record.FileName.str()).lexically_normal().string();
            record.FoundNearPatch = false;
        }
    }
    globals.currentPatchPath = file.string();
    m_performance.ui().showControlValue(
        control::kGridCaption, "Thumbnails - " + shownText(file.filename()));
    leaveStandby();
    return std::nullopt;
}

} // namespace oskel
