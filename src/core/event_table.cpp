// The event codes: one line each with the code's name, the values it takes and its handler.
#include "core/control_table.h"
#include "core/event_processor.h"

namespace oskel {

namespace {

using namespace event_code;
using P = EventProcessor;

constexpr EventRule kGlobal { false, kAny, kAny };
constexpr EventRule kOnSlot { true, kAny, kAny };

} // namespace

std::array<P::EventEntry, kEventCodeCount> EventProcessor::makeEventTable()
{
    std::array<P::EventEntry, kEventCodeCount> table {};
    table[kTrigger] = { "Trigger", { true, kVolumeRange, kControllerRange }, &P::trigger };
    table[kRestart] = { "Restart", kOnSlot, &P::restart };
    table[kDirection] = { "Direction", kOnSlot, &P::direction };
    table[kSetFrequency] = { "Frequency", { true, kFrequencyRange, kAny }, &P::frequency };
    table[kFrequencyThroughAudioThread] = { "FrequencyViaAudioThread",
        { true, kFrequencyRange, kAny }, &P::frequencyThroughAudioThread };
    table[kTriggerAtFrequency]
        = { "TriggerAtFrequency", { true, kVolumeRange, kFrequencyRange }, &P::triggerAtFrequency };
    table[kLoopOption] = { "Loop", kGlobal, &P::loopOption };
    // In and out points are checked against the clip's length by their handlers.
    table[kInPoint] = { "InPoint", kOnSlot, &P::inPoint };
    table[kOutPoint] = { "OutPoint", kOnSlot, &P::outPoint };
    table[kPause] = { "Pause", { true, { 0, 1 }, kAny }, &P::pause };
    table[kRelease] = { "Release", kOnSlot, &P::release };
    table[kClearOutput] = { "ClearOutput", kGlobal, &P::clearOutput };
    table[kTrailsOption] = { "Trails", kGlobal, &P::trailsOption };
    table[kLayeringOption] = { "Layering", kGlobal, &P::layeringOption };
    table[kMidiChannelsOption] = { "MidiChannelPerSlot", kGlobal, &P::midiChannelsOption };
    // Value2 is checked by axis in the handler.
    table[kPositionFromController]
        = { "PositionFromController", { true, kAny, { 0, 254 } }, &P::positionFromController };
    table[kMove] = { "Move", { true, kCoordinateRange, kCoordinateRange }, &P::move };
    table[kZoom] = { "Zoom", { true, kControllerRange, kAny }, &P::zoom };
    table[kSize] = { "Size", { true, kCoordinateRange, kAny }, &P::size };
    table[kAspect] = { "Aspect", { true, kControllerRange, kAny }, &P::aspect };
    table[kLumaKeyLevel] = { "LumaKeyLevel", { true, kLumaRange, kAny }, &P::lumaKeyLevel };
    table[kPitchWheelAssignment]
        = { "PitchWheelAssignment", { false, { 0, 31 }, kAny }, &P::pitchWheelAssignment };
    table[kPitchNotesOption] = { "PitchNotes", kGlobal, &P::pitchNotesOption };
    table[kWidth] = { "Width", { true, kCoordinateRange, kAny }, &P::width };
    table[kHeight] = { "Height", { true, kCoordinateRange, kAny }, &P::height };
    table[kStopAll] = { "StopAll", kGlobal, &P::stopAll };
    table[kStopEverySlot] = { "StopEverySlot", kGlobal, &P::stopEverySlot };
    table[kUnused27] = { "Unused27", kGlobal, &P::nothing };
    table[kStandbyOn] = { "StandbyOn", kGlobal, &P::standbyOn };
    table[kStandbyOff] = { "StandbyOff", kGlobal, &P::standbyOff };
    table[kNudgeFrequency]
        = { "NudgeFrequency", { true, kAny, { 0, 200000 } }, &P::nudgeFrequency };
    table[kVolume] = { "Volume", { true, kVolumeRange, kAny }, &P::volume };
    table[kMute] = { "Mute", kOnSlot, &P::mute };
    table[kUnmute] = { "Unmute", kOnSlot, &P::unmute };
    table[kTransparency] = { "Transparency", { true, { 0, 256 }, kAny }, &P::transparency };
    table[kLumaBlend] = { "LumaBlend", { true, kLumaRange, kAny }, &P::lumaBlend };
    table[kTrailsStrength] = { "TrailsStrength", { false, { 0, 64 }, kAny }, &P::trailsStrength };
    // Slot and Value2 are the A and B slots.
    table[kCrossfade] = { "Crossfade", { false, { 0, 255 }, { 0, 16 } }, &P::crossfade };
    table[kUnused38] = { "Unused38", kGlobal, &P::nothing };
    table[kMasterVolume] = { "MasterVolume", { false, { 0, 255 }, kAny }, &P::masterVolume };
    table[kScratch] = { "Scratch", { true, kControllerRange, kAny }, &P::scratch };
    table[kPan] = { "Pan", { true, { -10000, 10000 }, kControllerRange }, &P::pan };
    // The entry, its slot and its value are checked by the handler.
    table[kSetControl] = { "SetControl",
        { false, kAny, { 0, static_cast<std::int64_t>(controlTable().size()) - 1 } },
        &P::setControl };
    return table;
}

const std::array<P::EventEntry, kEventCodeCount> EventProcessor::kEvents = makeEventTable();

} // namespace oskel
