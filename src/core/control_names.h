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

} // namespace oskel::control
