#pragma once

// The entries of the control table, one line each: group, item, kind, range, default, how
// the value is read, and the event or the writer that sets it. Included by control_table.h.

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "core/control_names.h"
#include "core/effect_controls.h"
#include "core/midi_assignment_items.h"
#include "core/pan_law.h"
#include "core/performance.h"
#include "core/slot_rules.h"
#include "core/trigger_event.h"
#include "platform/sound_buffer.h"

namespace oskel {

namespace control_entries {

using namespace event_code;
using M = ControlScope;
using K = ControlKind;

inline constexpr ValueRange kToggle { 0, 1 };
inline constexpr ValueRange kNoValue { 0, 0 };
inline constexpr ValueRange kByteOffset { 0, std::numeric_limits<std::int32_t>::max() };
inline constexpr ValueRange kSlotNumber { 1, kSlotCount };
constexpr ValueRange decimals(double low, double high)
{
    return { static_cast<std::int64_t>(low * kDecimalScale),
        static_cast<std::int64_t>(high * kDecimalScale) };
}
constexpr std::int32_t thousandths(double value)
{
    return static_cast<std::int32_t>(value * kDecimalScale + (value < 0 ? -0.5 : 0.5));
}
constexpr double fromThousandths(std::int32_t value)
{
    return static_cast<double>(value) / kDecimalScale;
}

// Readers and writers of plain fields of the global state and the slot record.
template <auto Field> std::int32_t global(const Performance& p, int)
{
    return static_cast<std::int32_t>(p.globals().*Field);
}
template <auto Field> bool setGlobalFlag(Performance& p, EventSink&, int, std::int32_t value)
{
    p.globals().*Field = value != 0;
    return true;
}
template <auto Field> bool setGlobal(Performance& p, EventSink&, int, std::int32_t value)
{
    p.globals().*Field = value;
    return true;
}
template <auto Field> std::int32_t field(const Performance& p, int slot)
{
    return static_cast<std::int32_t>(p.slots()[slot].*Field);
}
template <auto Field> std::int32_t decimalField(const Performance& p, int slot)
{
    return thousandths(p.slots()[slot].*Field);
}
template <auto Field> bool setFlag(Performance& p, EventSink&, int slot, std::int32_t value)
{
    p.slot(slot).*Field = value != 0;
    return true;
}
template <auto Field> bool setField(Performance& p, EventSink&, int slot, std::int32_t value)
{
    p.slot(slot).*Field = value;
    return true;
}
template <auto Field> bool setDecimalField(Performance& p, EventSink&, int slot, std::int32_t value)
{
    p.slot(slot).*Field = fromThousandths(value);
    return true;
}

// Events that carry the value as it is, on a slot or globally.
template <std::uint8_t Code> TSlotEvent onSlot(const Performance&, int slot, std::int32_t value)
{
    return { Code, value, 0, slot };
}
template <std::uint8_t Code> TSlotEvent globally(const Performance&, int, std::int32_t value)
{
    return { Code, value, 0, 0 };
}
// A switch carried by two codes, one for on and one for off.
template <std::uint8_t On, std::uint8_t Off>
TSlotEvent switched(const Performance&, int slot, std::int32_t value)
{
    return { value != 0 ? On : Off, 0, 0, slot };
}
template <std::uint8_t Code> TSlotEvent action(const Performance&, int slot, std::int32_t)
{
    return { Code, 0, 0, slot };
}

inline TSlotEvent triggerEvent(const Performance& p, int slot, std::int32_t)
{
    return triggerEventFor(slot, p.slots()[slot]);
}
inline TSlotEvent balanceEvent(const Performance&, int slot, std::int32_t value)
{
    return { kPan, balanceToPan(value), value, slot };
}
inline TSlotEvent leftEvent(const Performance& p, int slot, std::int32_t value)
{
    return { kMove, value, p.slots()[slot].Top, slot };
}
inline TSlotEvent topEvent(const Performance& p, int slot, std::int32_t value)
{
    return { kMove, p.slots()[slot].Left, value, slot };
}
inline TSlotEvent masterVolumeEvent(const Performance&, int, std::int32_t value)
{
    return { kMasterVolume, value, 0, 1 };
}
inline std::int32_t frequencyNow(const Performance& p, int slot)
{
    const TPlayAvistruct& record = p.slots()[slot];
    const auto& buffer = record.Direction == 2 ? record.BackwardBuffer : record.ForwardBuffer;
    return buffer ? buffer->frequency() : record.BaseFrequency;
}
inline std::int32_t outPoint(const Performance& p, int slot)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(p.slots()[slot].OutPoint, -1, kByteOffset.high));
}
inline std::int32_t width(const Performance& p, int slot)
{
    return p.slots()[slot].Right - p.slots()[slot].Left;
}
inline std::int32_t height(const Performance& p, int slot)
{
    return p.slots()[slot].Bottom - p.slots()[slot].Top;
}
// Angles are read within one turn: the renderer turns them on without end.
template <auto Field> std::int32_t angle(const Performance& p, int slot)
{
    const double turned = p.slots()[slot].*Field;
    return thousandths(std::abs(turned) > 360.0 ? std::fmod(turned, 360.0) : turned);
}
template <auto Field> std::int32_t midiOption(const Performance& p, int)
{
    return p.options().midi.*Field ? 1 : 0;
}
template <auto Field> bool setMidiOption(Performance& p, EventSink&, int, std::int32_t value)
{
    p.options().midi.*Field = value != 0;
    return true;
}
// Options of the preferences window: a flag of one group of the options.
template <auto Group, auto Field> std::int32_t optionFlag(const Performance& p, int)
{
    return (p.options().*Group).*Field ? 1 : 0;
}
template <auto Group, auto Field>
bool setOptionFlag(Performance& p, EventSink&, int, std::int32_t value)
{
    (p.options().*Group).*Field = value != 0;
    return true;
}
inline std::int32_t tempo(const Performance& p, int)
{
    return thousandths(p.globals().BPM);
}
inline bool setMidiChannel(Performance& p, EventSink&, int, std::int32_t value)
{
    p.options().midi.channel = value;
    return true;
}
inline std::int32_t layerPosition(const Performance& p, int slot)
{
    return p.layerStack().positionOf(slot);
}
inline bool setLayerPosition(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return p.layerStack().moveTo(slot, value);
}
inline std::int32_t selectedSlot(const Performance& p, int)
{
    return p.globals().selectedSlot;
}

// Writers that do more than store the value (control_table.cpp).
bool setMasterMute(Performance& p, EventSink& events, int, std::int32_t value);
bool setTempo(Performance& p, EventSink& events, int, std::int32_t value);
bool setCrossfadeEnable(Performance& p, EventSink& events, int, std::int32_t value);
bool setCrossfadePosition(Performance& p, EventSink& events, int, std::int32_t value);
bool setCrossfadeA(Performance& p, EventSink& events, int, std::int32_t value);
bool setCrossfadeB(Performance& p, EventSink& events, int, std::int32_t value);
bool setSelectedSlot(Performance& p, EventSink& events, int, std::int32_t value);
bool setInverseLuma(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setBurn(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setColourSwap(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setStencil(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setThreeD(Performance& p, EventSink& events, int slot, std::int32_t value);
bool resetRotation(Performance& p, EventSink& events, int slot, std::int32_t value);
bool resetRotationAndSpeeds(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setSyncMode(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setRight(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setBottom(Performance& p, EventSink& events, int slot, std::int32_t value);
bool syncBeat(Performance& p, EventSink& events, int, std::int32_t);
bool setLeftEdge(Performance& p, EventSink& events, int slot, std::int32_t value);
bool setTopEdge(Performance& p, EventSink& events, int slot, std::int32_t value);
using G = GlobalState;
using S = TPlayAvistruct;

// clang-format off
inline constexpr std::array kMasterEntries {
    // Master: the main window's options and the loading options.
    ControlEntry { M::Master, "Loop", K::Toggle, kToggle, 1, global<&G::Loop>, globally<kLoopOption>, nullptr, {} },
    ControlEntry { M::Master, "Layering", K::Toggle, kToggle, 1, global<&G::Layering>, globally<kLayeringOption>, nullptr, {} },
    ControlEntry { M::Master, "Monophonic", K::Toggle, kToggle, 0, global<&G::NewTriggerStopsClips>, nullptr, setGlobalFlag<&G::NewTriggerStopsClips>, control::kMonophonic },
    ControlEntry { M::Master, "PcNoteOff", K::Toggle, kToggle, 0, global<&G::PCKeyNoteOff>, nullptr, setGlobalFlag<&G::PCKeyNoteOff>, control::kPcNoteOff },
    ControlEntry { M::Master, "SelectionFollowsTriggers", K::Toggle, kToggle, 1, global<&G::SelectionFollowsTriggers>, nullptr, setGlobalFlag<&G::SelectionFollowsTriggers>, {} },
    ControlEntry { M::Master, "BluescreenBackground", K::Toggle, kToggle, 0, global<&G::ColouredBackground>, nullptr, setGlobalFlag<&G::ColouredBackground>, {} },
    ControlEntry { M::Master, "ConstrainMovement", K::Toggle, kToggle, 0, global<&G::ConstrainMovement>, nullptr, setGlobalFlag<&G::ConstrainMovement>, {} },
    ControlEntry { M::Master, "Trails", K::Toggle, kToggle, 0, global<&G::Trails>, globally<kTrailsOption>, nullptr, {} },
    ControlEntry { M::Master, "TrailsStrength", K::Integer, { 0, 64 }, 0, global<&G::trailsStrength>, globally<kTrailsStrength>, nullptr, {} },
    ControlEntry { M::Master, "Standby", K::Toggle, kToggle, 0, global<&G::standby>, switched<kStandbyOn, kStandbyOff>, nullptr, {} },
    ControlEntry { M::Master, "StopAll", K::Action, kNoValue, 0, nullptr, action<kStopAll>, nullptr, {} },
    ControlEntry { M::Master, "StopEverySlot", K::Action, kNoValue, 0, nullptr, action<kStopEverySlot>, nullptr, {} },
    ControlEntry { M::Master, "ClearOutput", K::Action, kNoValue, 0, nullptr, action<kClearOutput>, nullptr, {} },
    ControlEntry { M::Master, "MasterVolume", K::Integer, { 0, 255 }, 255, global<&G::masterVolume>, masterVolumeEvent, nullptr, {} },
    ControlEntry { M::Master, "MasterMute", K::Toggle, kToggle, 0, global<&G::masterMuted>, nullptr, setMasterMute, control::kMasterMute },
    ControlEntry { M::Master, "Tempo", K::Decimal, decimals(0, 2000000), thousandths(150), tempo, nullptr, setTempo, {} },
    ControlEntry { M::Master, "AutoBpm", K::Toggle, kToggle, 0, global<&G::BPMfollow>, nullptr, setGlobalFlag<&G::BPMfollow>, control::kAutoBpm },
    ControlEntry { M::Master, "LoadFullScreen", K::Toggle, kToggle, 1, global<&G::LoadClipsFullscreen>, nullptr, setGlobalFlag<&G::LoadClipsFullscreen>, control::kFullScreen },
    ControlEntry { M::Master, "LoadSyncMode", K::Toggle, kToggle, 0, global<&G::LoadClipsInSyncMode>, nullptr, setGlobalFlag<&G::LoadClipsInSyncMode>, control::kLoadInSyncMode },
    ControlEntry { M::Master, "LoadKeepSettings", K::Toggle, kToggle, 1, global<&G::LoadClipsKeepSettings>, nullptr, setGlobalFlag<&G::LoadClipsKeepSettings>, control::kKeepSettings },
    ControlEntry { M::Master, "AutoAdvance", K::Toggle, kToggle, 0, global<&G::AutoAdvance>, nullptr, setGlobalFlag<&G::AutoAdvance>, control::kAutoAdvance },
    ControlEntry { M::Master, "RandomAdvance", K::Toggle, kToggle, 0, global<&G::RandomAdvance>, nullptr, setGlobalFlag<&G::RandomAdvance>, control::kRandomAdvance },
    ControlEntry { M::Master, "CopyMode", K::Integer, { 0, 2 }, 0, global<&G::copyMode>, nullptr, setGlobal<&G::copyMode>, control::kCopyMode },
    ControlEntry { M::Master, "SelectedSlot", K::Integer, kSlotNumber, kNoSlot, selectedSlot, nullptr, setSelectedSlot, {} },
    ControlEntry { M::Master, "SixteenMidiChannels", K::Toggle, kToggle, 0, [](const Performance& p, int) -> std::int32_t { return p.options().midi.IndividualChannels; }, globally<kMidiChannelsOption>, nullptr, {} },
    ControlEntry { M::Master, "PitchNotes", K::Toggle, kToggle, 0, [](const Performance& p, int) -> std::int32_t { return p.options().midi.PitchNotes; }, globally<kPitchNotesOption>, nullptr, {} },
    ControlEntry { M::Master, "MidiNoteOff", K::Toggle, kToggle, 0, midiOption<&MidiOptions::NoteOff>, nullptr, setMidiOption<&MidiOptions::NoteOff>, control::kUseNoteOff },
    ControlEntry { M::Master, "VelocityVolume", K::Toggle, kToggle, 0, midiOption<&MidiOptions::VelocityVolume>, nullptr, setMidiOption<&MidiOptions::VelocityVolume>, {} },
    ControlEntry { M::Master, "VelocityOpacity", K::Toggle, kToggle, 0, midiOption<&MidiOptions::VelocityOpacity>, nullptr, setMidiOption<&MidiOptions::VelocityOpacity>, {} },
    ControlEntry { M::Master, "KaossPad", K::Toggle, kToggle, 0, midiOption<&MidiOptions::KaossPad>, nullptr, setMidiOption<&MidiOptions::KaossPad>, {} },
    ControlEntry { M::Master, "DisableBlackNotes", K::Toggle, kToggle, 0, midiOption<&MidiOptions::DisableBlackNotes>, nullptr, setMidiOption<&MidiOptions::DisableBlackNotes>, {} },
    ControlEntry { M::Master, "DisablePitchAndMod", K::Toggle, kToggle, 0, midiOption<&MidiOptions::DisablePitchAndMod>, nullptr, setMidiOption<&MidiOptions::DisablePitchAndMod>, {} },
    ControlEntry { M::Master, "MidiInputBuffer", K::Toggle, kToggle, 1, midiOption<&MidiOptions::UseCircbuf>, nullptr, setMidiOption<&MidiOptions::UseCircbuf>, {} },
    ControlEntry { M::Master, "SyncToMidiClock", K::Toggle, kToggle, 0, midiOption<&MidiOptions::SyncToClock>, nullptr, setMidiOption<&MidiOptions::SyncToClock>, {} },
    ControlEntry { M::Master, "GuitarMode", K::Toggle, kToggle, 0, midiOption<&MidiOptions::MIDIguitairMode>, nullptr, setMidiOption<&MidiOptions::MIDIguitairMode>, {} },
    ControlEntry { M::Master, "CurrentClipFollowsMidi", K::Toggle, kToggle, 1, midiOption<&MidiOptions::CurrentClipMIDIfollow>, nullptr, setMidiOption<&MidiOptions::CurrentClipMIDIfollow>, {} },
    ControlEntry { M::Master, "DisableMidiPatchLoading", K::Toggle, kToggle, 0, midiOption<&MidiOptions::DisablePatchLoading>, nullptr, setMidiOption<&MidiOptions::DisablePatchLoading>, {} },
    ControlEntry { M::Master, "LoadMidiConfigFromPatches", K::Toggle, kToggle, 0, midiOption<&MidiOptions::OKPloadMIDIconfig>, nullptr, setMidiOption<&MidiOptions::OKPloadMIDIconfig>, {} },
    ControlEntry { M::Master, "MidiChannel", K::Integer, { 1, 16 }, 1, [](const Performance& p, int) { return p.options().midi.channel; }, nullptr, setMidiChannel, {} },
    ControlEntry { M::Master, "PitchWheel", K::Integer, { 0, 31 }, 0, [](const Performance& p, int) { return p.options().midi.pitchWheelParameter; }, globally<kPitchWheelAssignment>, nullptr, {} },
    ControlEntry { M::Master, "CrossfadeEnable", K::Toggle, kToggle, 0, global<&G::crossfadeEnabled>, nullptr, setCrossfadeEnable, control::kCrossfadeEnable },
    ControlEntry { M::Master, "CrossfadePosition", K::Integer, { 0, 255 }, 0, global<&G::crossfadePosition>, nullptr, setCrossfadePosition, control::kCrossfadePosition },
    ControlEntry { M::Master, "CrossfadeA", K::Integer, kSlotNumber, 1, global<&G::crossfadeSlotA>, nullptr, setCrossfadeA, {} },
    ControlEntry { M::Master, "CrossfadeB", K::Integer, kSlotNumber, 2, global<&G::crossfadeSlotB>, nullptr, setCrossfadeB, {} },
    ControlEntry { M::Master, "CrossfadeVideo", K::Toggle, kToggle, 1, global<&G::CrossfadeVideo>, nullptr, setGlobalFlag<&G::CrossfadeVideo>, control::kCrossfadeVideo },
    ControlEntry { M::Master, "CrossfadeAudio", K::Toggle, kToggle, 1, global<&G::CrossfadeAudio>, nullptr, setGlobalFlag<&G::CrossfadeAudio>, control::kCrossfadeAudio },
    ControlEntry { M::Master, "SyncBeat", K::Action, kNoValue, 0, nullptr, nullptr, syncBeat, {} },
};

inline constexpr std::array kSlotEntries {
    // Each slot: transport and sound.
    ControlEntry { M::Slot, "Trigger", K::Action, kNoValue, 0, nullptr, triggerEvent, nullptr, {} },
    ControlEntry { M::Slot, "Restart", K::Action, kNoValue, 0, nullptr, action<kRestart>, nullptr, {} },
    ControlEntry { M::Slot, "Release", K::Action, kNoValue, 0, nullptr, action<kRelease>, nullptr, {} },
    ControlEntry { M::Slot, "Paused", K::Toggle, kToggle, 0, field<&S::Paused>, onSlot<kPause>, nullptr, {} },
    // The audio thread turns the buffers round, so the direction is not read back at once.
    ControlEntry { M::Slot, "Direction", K::Integer, { 1, 2 }, 1, nullptr, onSlot<kDirection>, nullptr, {} },
    ControlEntry { M::Slot, "Frequency", K::Integer, { 100, 200000 }, 44100, frequencyNow, onSlot<kSetFrequency>, nullptr, {} },
    ControlEntry { M::Slot, "InPoint", K::Integer, kByteOffset, 0, field<&S::InPoint>, onSlot<kInPoint>, nullptr, {} },
    ControlEntry { M::Slot, "OutPoint", K::Integer, kByteOffset, 0, outPoint, onSlot<kOutPoint>, nullptr, {} },
    ControlEntry { M::Slot, "Scratch", K::Integer, { 0, 127 }, 0, nullptr, onSlot<kScratch>, nullptr, {} },
    ControlEntry { M::Slot, "Volume", K::Integer, { -10000, 0 }, 0, field<&S::Volume>, onSlot<kVolume>, nullptr, {} },
    ControlEntry { M::Slot, "Mute", K::Toggle, kToggle, 0, field<&S::Mute>, switched<kMute, kUnmute>, nullptr, {} },
    ControlEntry { M::Slot, "Balance", K::Integer, { 0, 127 }, 64, field<&S::Balance>, balanceEvent, nullptr, {} },
    // Look.
    ControlEntry { M::Slot, "Transparency", K::Integer, { 0, 256 }, 0, field<&S::AlphaLevel>, onSlot<kTransparency>, nullptr, {} },
    ControlEntry { M::Slot, "LumaKeyLevel", K::Integer, { 0, 765 }, 0, field<&S::LumaKeyLevel>, onSlot<kLumaKeyLevel>, nullptr, {} },
    ControlEntry { M::Slot, "InverseLuma", K::Toggle, kToggle, 0, field<&S::InverseLuma>, nullptr, setInverseLuma, control::kInverseLuma },
    ControlEntry { M::Slot, "LumaBlendLevel", K::Integer, { 0, 765 }, 0, field<&S::LumaBlendLevel>, onSlot<kLumaBlend>, nullptr, {} },
    ControlEntry { M::Slot, "Additive", K::Toggle, kToggle, 0, field<&S::Burn>, nullptr, setBurn, {} },
    ControlEntry { M::Slot, "ColourSwap", K::Integer, { 0, 3 }, 0, field<&S::ColourSwapMode>, nullptr, setColourSwap, {} },
    ControlEntry { M::Slot, "Stencil", K::Toggle, kToggle, 0, field<&S::StencilEnabled>, nullptr, setStencil, control::kStencilEnable },
    // Place and size in the 384 x 288 composition area.
    ControlEntry { M::Slot, "Left", K::Integer, kCoordinateRange, 0, field<&S::Left>, leftEvent, nullptr, {} },
    ControlEntry { M::Slot, "Top", K::Integer, kCoordinateRange, 0, field<&S::Top>, topEvent, nullptr, {} },
    ControlEntry { M::Slot, "Right", K::Integer, kCoordinateRange, 384, field<&S::Right>, nullptr, setRight, {} },
    ControlEntry { M::Slot, "Bottom", K::Integer, kCoordinateRange, 288, field<&S::Bottom>, nullptr, setBottom, {} },
    // The left and top edges on their own (the inspector's boxes); "Left" and "Top" move.
    ControlEntry { M::Slot, "LeftEdge", K::Integer, kCoordinateRange, 0, field<&S::Left>, nullptr, setLeftEdge, {} },
    ControlEntry { M::Slot, "TopEdge", K::Integer, kCoordinateRange, 0, field<&S::Top>, nullptr, setTopEdge, {} },
    ControlEntry { M::Slot, "Width", K::Integer, { 1, 1000000 }, 384, width, onSlot<kWidth>, nullptr, {} },
    ControlEntry { M::Slot, "Height", K::Integer, { 1, 1000000 }, 288, height, onSlot<kHeight>, nullptr, {} },
    ControlEntry { M::Slot, "Size", K::Integer, { 0, 1344 }, 600, field<&S::Size>, onSlot<kSize>, nullptr, {} },
    ControlEntry { M::Slot, "Zoom", K::Integer, { 0, 127 }, 0, nullptr, onSlot<kZoom>, nullptr, {} },
    ControlEntry { M::Slot, "Aspect", K::Integer, { 0, 127 }, 0, nullptr, onSlot<kAspect>, nullptr, {} },
    // Drawing order: 1 the bottom layer, 16 the top.
    ControlEntry { M::Slot, "LayerPosition", K::Integer, kSlotNumber, 1, layerPosition, nullptr, setLayerPosition, {} },
    // 3D.
    ControlEntry { M::Slot, "ThreeD", K::Toggle, kToggle, 0, field<&S::BillBoard>, nullptr, setThreeD, control::kEnable3D },
    ControlEntry { M::Slot, "Size3D", K::Decimal, decimals(0.025, 6), thousandths(1), decimalField<&S::Size3D>, nullptr, setDecimalField<&S::Size3D>, {} },
    ControlEntry { M::Slot, "XRotation", K::Decimal, decimals(-360, 360), 0, angle<&S::XRot>, nullptr, setDecimalField<&S::XRot>, {} },
    ControlEntry { M::Slot, "YRotation", K::Decimal, decimals(-360, 360), 0, angle<&S::YRot>, nullptr, setDecimalField<&S::YRot>, {} },
    ControlEntry { M::Slot, "ZRotation", K::Decimal, decimals(-360, 360), 0, angle<&S::ZRot>, nullptr, setDecimalField<&S::ZRot>, {} },
    ControlEntry { M::Slot, "XRotationSpeed", K::Decimal, decimals(-20, 20), 0, decimalField<&S::XRotSpeed>, nullptr, setDecimalField<&S::XRotSpeed>, {} },
    ControlEntry { M::Slot, "YRotationSpeed", K::Decimal, decimals(-20, 20), 0, decimalField<&S::YRotSpeed>, nullptr, setDecimalField<&S::YRotSpeed>, {} },
    ControlEntry { M::Slot, "ZRotationSpeed", K::Decimal, decimals(-20, 20), 0, decimalField<&S::ZRotSpeed>, nullptr, setDecimalField<&S::ZRotSpeed>, {} },
    ControlEntry { M::Slot, "ResetRotation", K::Action, kNoValue, 0, nullptr, nullptr, resetRotation, {} },
    ControlEntry { M::Slot, "ResetRotationAndSpeeds", K::Action, kNoValue, 0, nullptr, nullptr, resetRotationAndSpeeds, {} },
    ControlEntry { M::Slot, "HorizontalTiles", K::Integer, { 1, 7 }, 1, field<&S::HorzTiles>, nullptr, setField<&S::HorzTiles>, {} },
    ControlEntry { M::Slot, "VerticalTiles", K::Integer, { 1, 7 }, 1, field<&S::VertTiles>, nullptr, setField<&S::VertTiles>, {} },
    ControlEntry { M::Slot, "TileSpacing", K::Decimal, decimals(0, 6), thousandths(2), decimalField<&S::ArraySpacing>, nullptr, setDecimalField<&S::ArraySpacing>, {} },
    // Timing and tempo.
    ControlEntry { M::Slot, "Chop", K::Toggle, kToggle, 0, field<&S::Chop>, nullptr, setFlag<&S::Chop>, control::kChop },
    ControlEntry { M::Slot, "ChopSegments", K::Integer, { 1, 64 }, 8, field<&S::ChopSegments>, nullptr, setField<&S::ChopSegments>, {} },
    ControlEntry { M::Slot, "SyncMode", K::Toggle, kToggle, 0, field<&S::InstallationMode>, nullptr, setSyncMode, control::kSlotSyncMode },
    ControlEntry { M::Slot, "ReSync", K::Toggle, kToggle, 0, field<&S::ReSync>, nullptr, setFlag<&S::ReSync>, control::kReSync },
    ControlEntry { M::Slot, "FollowBpm", K::Toggle, kToggle, 0, field<&S::FollowBPM>, nullptr, setFlag<&S::FollowBPM>, control::kFollowBpm },
    ControlEntry { M::Slot, "Beats", K::Integer, { 0, 999 }, 4, field<&S::NumberOfBeats>, nullptr, setField<&S::NumberOfBeats>, {} },
    ControlEntry { M::Slot, "DisableMidi", K::Toggle, kToggle, 0, field<&S::DisableMIDI>, nullptr, setFlag<&S::DisableMIDI>, {} },
    ControlEntry { M::Slot, "Effect", K::Toggle, kToggle, 0, field<&S::FFenable>, nullptr, setEffectEnabled, control::kEnableEffect },

    // The effect plug-in: its place in the plug-in list, its eight parameters and the dry
    // amount of the wet/dry mix.
    ControlEntry { M::Slot, "EffectPlugin", K::Integer, kPluginIndex, 0, effectPlugin, nullptr, chooseEffectPlugin, {} },
    ControlEntry { M::Slot, "EffectParameter1", K::Decimal, decimals(0, 1), 0, effectParameter<0>, nullptr, setEffectParameter<0>, {} },
    ControlEntry { M::Slot, "EffectParameter2", K::Decimal, decimals(0, 1), 0, effectParameter<1>, nullptr, setEffectParameter<1>, {} },
    ControlEntry { M::Slot, "EffectParameter3", K::Decimal, decimals(0, 1), 0, effectParameter<2>, nullptr, setEffectParameter<2>, {} },
    ControlEntry { M::Slot, "EffectParameter4", K::Decimal, decimals(0, 1), 0, effectParameter<3>, nullptr, setEffectParameter<3>, {} },
    ControlEntry { M::Slot, "EffectParameter5", K::Decimal, decimals(0, 1), 0, effectParameter<4>, nullptr, setEffectParameter<4>, {} },
    ControlEntry { M::Slot, "EffectParameter6", K::Decimal, decimals(0, 1), 0, effectParameter<5>, nullptr, setEffectParameter<5>, {} },
    ControlEntry { M::Slot, "EffectParameter7", K::Decimal, decimals(0, 1), 0, effectParameter<6>, nullptr, setEffectParameter<6>, {} },
    ControlEntry { M::Slot, "EffectParameter8", K::Decimal, decimals(0, 1), 0, effectParameter<7>, nullptr, setEffectParameter<7>, {} },
    ControlEntry { M::Slot, "EffectWetDry", K::Decimal, decimals(0, 1), 0, effectWetDry, nullptr, setEffectWetDry, {} },
};

// Master: the preferences window's options.
inline constexpr std::array kPreferenceEntries {
    ControlEntry { M::Master, "LoadLongClipsSilent", K::Toggle, kToggle, 1, global<&G::LoadLongClipsSilent>, nullptr, setGlobalFlag<&G::LoadLongClipsSilent>, {} },
    ControlEntry { M::Master, "LoadClipsSilent", K::Toggle, kToggle, 0, global<&G::LoadClipsSilent>, nullptr, setGlobalFlag<&G::LoadClipsSilent>, {} },
    ControlEntry { M::Master, "LivePatchLoading", K::Toggle, kToggle, 0, global<&G::LivePatchLoading>, nullptr, setGlobalFlag<&G::LivePatchLoading>, {} },
    ControlEntry { M::Master, "ShowLoadingScreen", K::Toggle, kToggle, 1, optionFlag<&Options::ui, &InterfaceOptions::ShowLoadingScreen>, nullptr, setOptionFlag<&Options::ui, &InterfaceOptions::ShowLoadingScreen>, {} },
    ControlEntry { M::Master, "SoftSwap", K::Toggle, kToggle, 0, optionFlag<&Options::display, &DisplayOptions::SoftSwap>, nullptr, setOptionFlag<&Options::display, &DisplayOptions::SoftSwap>, {} },
    ControlEntry { M::Master, "PreviewWhileRecording", K::Toggle, kToggle, 1, optionFlag<&Options::render, &RenderOptions::PreviewWhileRecord>, nullptr, setOptionFlag<&Options::render, &RenderOptions::PreviewWhileRecord>, {} },
    ControlEntry { M::Master, "PreviewWhileRendering", K::Toggle, kToggle, 1, optionFlag<&Options::render, &RenderOptions::PreviewWhileRender>, nullptr, setOptionFlag<&Options::render, &RenderOptions::PreviewWhileRender>, {} },
    ControlEntry { M::Master, "MouseOverSecondaryOutput", K::Toggle, kToggle, 1, optionFlag<&Options::display, &DisplayOptions::ShowMouseOverSecDisplay>, nullptr, setOptionFlag<&Options::display, &DisplayOptions::ShowMouseOverSecDisplay>, {} },
    ControlEntry { M::Master, "TvOutOverlay", K::Toggle, kToggle, 1, optionFlag<&Options::display, &DisplayOptions::Overlay>, nullptr, setOptionFlag<&Options::display, &DisplayOptions::Overlay>, {} },
    ControlEntry { M::Master, "DisableTab", K::Toggle, kToggle, 0, optionFlag<&Options::ui, &InterfaceOptions::DisableTAB>, nullptr, setOptionFlag<&Options::ui, &InterfaceOptions::DisableTAB>, {} },
    ControlEntry { M::Master, "AutoStandby", K::Toggle, kToggle, 0, optionFlag<&Options::ui, &InterfaceOptions::AutoStandby>, nullptr, setOptionFlag<&Options::ui, &InterfaceOptions::AutoStandby>, {} },
    ControlEntry { M::Master, "StreamOutput", K::Toggle, kToggle, 0, optionFlag<&Options::stream, &StreamOptions::enabled>, nullptr, setOptionFlag<&Options::stream, &StreamOptions::enabled>, {} },
    ControlEntry { M::Master, "VirtualCameraOutput", K::Toggle, kToggle, 0, optionFlag<&Options::camera, &CameraOptions::enabled>, nullptr, setOptionFlag<&Options::camera, &CameraOptions::enabled>, {} },
    ControlEntry { M::Master, "HdComposition", K::Toggle, kToggle, 1, optionFlag<&Options::display, &DisplayOptions::hdComposition>, nullptr, setOptionFlag<&Options::display, &DisplayOptions::hdComposition>, {} },
};
// clang-format on

// The MIDI controller assignments: the 41 controller numbers, then the 41 inverts.
template <std::size_t Parameter> std::int32_t assignedController(const Performance& p, int)
{
    return p.options().midi.controllers[Parameter];
}
template <std::size_t Parameter>
bool assignController(Performance& p, EventSink&, int, std::int32_t value)
{
    p.options().midi.controllers[Parameter] = value;
    return true;
}
template <std::size_t Parameter> std::int32_t controllerInverted(const Performance& p, int)
{
    return p.options().midi.controllerInverts[Parameter] ? 1 : 0;
}
template <std::size_t Parameter>
bool invertController(Performance& p, EventSink&, int, std::int32_t value)
{
    p.options().midi.controllerInverts[Parameter] = value != 0;
    return true;
}
template <std::size_t... Parameters>
constexpr auto assignmentEntries(std::index_sequence<Parameters...>)
{
    constexpr ValueRange controllers { kNoController, kHighestController };
    return std::array {
        ControlEntry { M::Master, kMidiAssignmentItems[Parameters].controller, K::Integer,
            controllers, kMidiAssignmentItems[Parameters].defaultController,
            assignedController<Parameters>, nullptr, assignController<Parameters>, {} }...,
        ControlEntry { M::Master, kMidiAssignmentItems[Parameters].invert, K::Toggle, kToggle, 0,
            controllerInverted<Parameters>, nullptr, invertController<Parameters>, {} }...,
    };
}
inline constexpr auto kAssignmentEntries
    = assignmentEntries(std::make_index_sequence<kMidiAssignmentItems.size()>());

template <std::size_t... Sizes>
constexpr auto joined(const std::array<ControlEntry, Sizes>&... parts)
{
    std::array<ControlEntry, (Sizes + ...)> whole {};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), whole.begin() + static_cast<std::ptrdiff_t>(at)),
         at += parts.size()),
        ...);
    return whole;
}

inline constexpr auto kEntries
    = joined(kMasterEntries, kAssignmentEntries, kSlotEntries, kPreferenceEntries);

} // namespace control_entries

consteval std::size_t controlIndex(ControlScope scope, std::string_view item)
{
    for (std::size_t index = 0; index < control_entries::kEntries.size(); ++index) {
        if (control_entries::kEntries[index].scope == scope
            && control_entries::kEntries[index].item == item) {
            return index;
        }
    }
    throw "no such control"; // not a constant expression: the name is not in the table
}

// The address of a master entry, or of a slot entry on a slot.
consteval ControlAddress masterControl(std::string_view item)
{
    return { controlIndex(ControlScope::Master, item), 0 };
}
constexpr ControlAddress slotControl(std::size_t index, int slot)
{
    return { index, slot };
}

// The controller number and the invert of MIDI parameter 0..40.
constexpr ControlAddress midiControllerControl(int parameter)
{
    constexpr ControlAddress first = masterControl(kMidiAssignmentItems.front().controller);
    return { first.index + static_cast<std::size_t>(parameter), 0 };
}
constexpr ControlAddress midiInvertControl(int parameter)
{
    constexpr ControlAddress first = masterControl(kMidiAssignmentItems.front().invert);
    return { first.index + static_cast<std::size_t>(parameter), 0 };
}

} // namespace oskel
