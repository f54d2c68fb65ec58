#pragma once

#include <string_view>

namespace oskel::control {

// Controls that the logic shows values in (UserInterfacePort::showControlValue).
// Main window:
inline constexpr std::string_view kTrailsEnable = "Enable";
inline constexpr std::string_view kTrailsStrength = "TrailsStrength";
inline constexpr std::string_view kTriggerToFront = "Trigger to Front";
inline constexpr std::string_view kLoop = "Loop";
inline constexpr std::string_view kSixteenMidiChannels = "16 MIDI channels";
inline constexpr std::string_view kPitchNotes = "Pitch Notes";
inline constexpr std::string_view kStandby = "Standby";
inline constexpr std::string_view kMasterVolume = "MasterVolume";
inline constexpr std::string_view kTempo = "Tempo"; // the tempo field, text
inline constexpr std::string_view kTapButton = "Tap"; // caption text, "Tap 0".."Tap 7"
inline constexpr std::string_view kBeatCounter = "BeatCounter"; // inspected slot, 1..beats
inline constexpr std::string_view kPcNoteOff = "PC Note Off";
inline constexpr std::string_view kFullScreen = "Full Screen"; // loading fills the output
inline constexpr std::string_view kMonophonic = "Monophonic";
inline constexpr std::string_view kLoadInSyncMode = "Sync Mode"; // loading in sync mode
inline constexpr std::string_view kKeepSettings = "Keep Settings"; // loading keeps settings
inline constexpr std::string_view kAutoAdvance = "Auto";
inline constexpr std::string_view kRandomAdvance = "Random";
inline constexpr std::string_view kCopyMode = "CopyMode"; // 0..2, the copy choice
inline constexpr std::string_view kMasterMute = "MasterMute";
inline constexpr std::string_view kAutoBpm = "Auto BPM";
// The crossfader: its "Enable" button, the key letters and previews of sides A and B (the
// preview's value is the slot whose thumbnail it shows).
inline constexpr std::string_view kCrossfadeEnable = "CrossFadeEnable";
inline constexpr std::string_view kCrossfadePosition = "CrossFade"; // the fader, 0..255
inline constexpr std::string_view kCrossfadeVideo = "CFVideo";
inline constexpr std::string_view kCrossfadeAudio = "CFAudio";
inline constexpr std::string_view kCrossfadeLetterA = "lCrossfadeL";
inline constexpr std::string_view kCrossfadeLetterB = "lCrossfadeR";
inline constexpr std::string_view kCrossfadePreviewA = "iCFpreviewA";
inline constexpr std::string_view kCrossfadePreviewB = "iCFpreviewB";
inline constexpr std::string_view kPatchLabel = "lPatch"; // "Patch - <file>", text
inline constexpr std::string_view kGridCaption = "GridCaption"; // "Thumbnails - <file>", text
// Clip inspector, for the inspected slot:
inline constexpr std::string_view kInPoint = "InPoint"; // sample frames
inline constexpr std::string_view kOutPoint = "OutPoint"; // sample frames
inline constexpr std::string_view kFrequency = "Frequency";
inline constexpr std::string_view kVolume = "Volume";
inline constexpr std::string_view kOpacity = "Opacity";
inline constexpr std::string_view kLumaKeyLevel = "LumaKeyLevel";
inline constexpr std::string_view kSelectionDuration = "SelectionDuration"; // seconds, text
inline constexpr std::string_view kCalculatedBpm = "Calculated BPM"; // text
inline constexpr std::string_view kFramesPerBeat = "Frames Per Beat"; // text
inline constexpr std::string_view kInspectorRefresh = "InspectorRefresh"; // every control
inline constexpr std::string_view kFollowBpm = "Follow BPM";
inline constexpr std::string_view kEnableEffect = "Enable Effect";
inline constexpr std::string_view kSlotSyncMode = "SlotSyncMode"; // caption "Sync Mode"
inline constexpr std::string_view kEnable3D = "Enable 3D";
inline constexpr std::string_view kStencilEnable = "StencilEnable"; // caption "Enable"
inline constexpr std::string_view kMute = "Mute";
inline constexpr std::string_view kChop = "Chop";
inline constexpr std::string_view kReSync = "ReSync";
inline constexpr std::string_view kInverseLuma = "Inverse Luma";
// MIDI form:
inline constexpr std::string_view kUseNoteOff = "Use Note Off";
// Clip slot grid: each panel's controls are named after the panel's child with "clone" and
// the slot number appended ("lbKeyclone3"); see slot_grid_layout.h.

} // namespace oskel::control
