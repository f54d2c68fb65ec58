#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/options.h"
#include "core/slot_number.h"
#include "persistence/ini_profile.h"

namespace oskel {

// A patch: the whole set-up of a performance as the ".okp" file holds it, in the file's own
// terms. Reading fills a PatchContents from an INI profile and never fails: missing keys and
// values that do not parse take the reader's default, or stay empty (std::optional) where the
// loader keeps the value in force. Values are as stored, not brought into range: the loader
// puts each through the control table, which does. Writing updates a profile in place, in
// the order a new file receives the sections.

inline constexpr const char* kPatchFormatMarker = "Low1";
inline constexpr const char* kPatchProgramVersion = "3.0.1.14";
inline constexpr const char* kPatchExtension = ".okp";
inline constexpr const char* kPatchDialogFilter = "Oskel Patches (*.okp)";
inline constexpr int kPatchAreaWidth = 384;
inline constexpr int kPatchAreaHeight = 288;

struct PatchGlobals {
    bool Loop = true;
    bool Layering = true;
    bool IndividualMidiChannels = false;
    bool Trails = false;
    std::optional<std::int64_t> trailsStrength;
    bool PitchNotes = false;
    std::optional<bool> ConstrainMovement;
    std::optional<double> BPM;
    std::optional<bool> BPMfollow;
    std::optional<bool> PCKeyNoteOff;
    std::optional<bool> CrossfadeAudio;
    std::optional<bool> CrossfadeVideo;
};

// The "MIDI" section as stored; which value wins over which is the loader's rule
// (applyPatchMidi). "Velocity" is read from older files only. Older files write "Pitchnotes",
// which is the key "PitchNotes" here since names match without regard to case.
struct PatchMidi {
    std::optional<bool> NoteOff;
    std::optional<bool> VelocityVolume;
    std::optional<bool> VelocityOpacity;
    std::optional<bool> PitchNotes;
    std::optional<bool> KaossPad;
    std::optional<bool> DisableBlackNotes;
    std::optional<bool> DisablePitchAndMod;
    std::optional<bool> UseCircbuf;
    std::optional<bool> MIDIguitairMode;
    std::optional<bool> Velocity;
    std::optional<bool> NewTriggerStopsClips;
    // "MIDIcontrollers" and "MIDIcontrollerInverts" 0..40 (defaults -1 and false).
    std::array<std::int32_t, kMidiParameterCount> controllers = MidiOptions::filledControllers();
    std::array<bool, kMidiParameterCount> controllerInverts {};
};

inline constexpr int kEffectParameterCount = 8;
inline constexpr double kEffectParameterNotSet = -2.0;

struct PatchSlot {
    std::string fileName; // empty: an empty slot
    std::optional<std::int64_t> inPoint; // bytes, as stored (see silent clips)
    std::optional<std::int64_t> outPoint;
    bool chop = false;
    std::int64_t speed = 44100;
    // Each edge in the "OKLowDisplayArea" space; a missing one makes the whole rectangle the
    // full area.
    std::optional<std::int64_t> left;
    std::optional<std::int64_t> top;
    std::optional<std::int64_t> right;
    std::optional<std::int64_t> bottom;
    std::int64_t lumaKeyLevel = 0;
    bool inverseLuma = false;
    std::int64_t lumaBlendLevel = 0;
    bool burn = false; // "Blend" = "Burn"
    std::int64_t alphaLevel = 0;
    bool alpha = false;
    std::int64_t volume = 0;
    std::int64_t balance = 64;
    bool mute = false;
    bool installationMode = false;
    bool disableMidi = false;
    std::int64_t direction = 1;
    bool stencilEnabled = false;
    std::string stencilFileName;
    std::int64_t colourSwapMode = 0;
    bool billBoard = false;
    double xRot = 0.0;
    double yRot = 0.0;
    double zRot = 0.0;
    double xRotSpeed = 0.0;
    double yRotSpeed = 0.0;
    double zRotSpeed = 0.0;
    std::int64_t horzTiles = 1;
    std::int64_t vertTiles = 1;
    double arraySpacing = 2.0;
    double size3D = 1.0;
    std::string effectFileName; // "FFfilenames"
    bool effectEnabled = false; // "FFenables"
    std::array<double, kEffectParameterCount> effectParameters { kEffectParameterNotSet,
        kEffectParameterNotSet, kEffectParameterNotSet, kEffectParameterNotSet,
        kEffectParameterNotSet, kEffectParameterNotSet, kEffectParameterNotSet,
        kEffectParameterNotSet };
    std::optional<std::int64_t> numberOfBeats; // missing: "DefaultBeatsPerClip"
    std::optional<bool> followBpm; // missing: the global "BPMfollow"
    bool sourceModePlay = true; // "SourceModes": "smPlay" (written only)
    bool sourceSystemStreaming = false; // "SourceSystems" = "ssDS"

    // Written only: whether the slot holds a clip, so that its settings are written.
    bool loaded = false;
};

struct PatchContents {
    bool current = false; // "Version" "OKP" is "Low1"; an old patch loads its clips only
    // "OKLowDisplayArea": the space of the stored rectangles, 1..65536 when read (anything
    // else reads as the default). Written as it stands, so a save leaves it at 384 x 288.
    std::int64_t areaWidth = kPatchAreaWidth;
    std::int64_t areaHeight = kPatchAreaHeight;
    PatchGlobals globals;
    PatchMidi midi;
    std::array<std::int64_t, kSlotCount> layerStack {}; // as stored, entry 0 = bottom
    std::array<PatchSlot, kSlotCount> slots; // index 0 = slot 1
};

PatchContents readPatch(const IniProfile& ini);

// Writes every section in place: keys not written keep what an earlier save left; the
// obsolete "Pans" section goes. Empty slots write "Filenames" and "InPoints" only. An empty
// optional writes nothing, so a save fills in every optional of the slots it marks loaded
// (and their in points, and the globals and MIDI values). A name that would lose blanks or
// quotes around it on reading is written in double quotes.
void writePatch(IniProfile& ini, const PatchContents& patch);

// The layer stack as a permutation of 1..16: entries that repeat an earlier one or lie
// outside 1..16 give way to the missing numbers in increasing order. `repaired` says whether
// anything changed.
struct RepairedLayerStack {
    std::array<int, kSlotCount> order {};
    bool repaired = false;
};
RepairedLayerStack repairLayerStack(const std::array<std::int64_t, kSlotCount>& stored);

// Points of a clip opened silent are stored in bytes of the file's own sound stream.
// `soundStreamBytes` is the length of that stream (0 when the file has none), `length` the
// silent buffers' length.
struct StoredPoints {
    std::int64_t inPoint = 0;
    std::int64_t outPoint = 0;
};
StoredPoints pointsToStore(std::int64_t inPoint, std::int64_t outPoint, std::int64_t length,
    std::int64_t soundStreamBytes);
// Back again, when the clip opened silent from a file with a sound stream; a missing out
// point is the stream's length. Without a stream or a length the points stay as stored (a
// missing in point is 0, a missing out point `length`). Results are held to 64 bits.
StoredPoints pointsFromStore(std::optional<std::int64_t> inPoint,
    std::optional<std::int64_t> outPoint, std::int64_t length, std::int64_t soundStreamBytes);

// The MIDI options after a load that carries the MIDI set-up ("Load MIDI config from
// Patches"): the stored values over `current`, with the rules between the old and new keys.
// `throughMidi`: the load came from a MIDI program change (the input buffer is then on).
MidiOptions applyPatchMidi(const MidiOptions& current, const PatchGlobals& globals,
    const PatchMidi& midi, bool throughMidi);

} // namespace oskel
