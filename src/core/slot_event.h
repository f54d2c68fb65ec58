#pragma once

#include <cstddef>
#include <cstdint>

namespace oskel {

// One performance action. Codes 0..42 name the actions; fields a code does not use are not
// read.
struct TSlotEvent {
    std::uint8_t Code = 0;
    std::int32_t Value = 0;
    std::int32_t Value2 = 0;
    std::int32_t Slot = 0;
};

// The event codes. The event processor's table (event_table.cpp) gives each its name, the
// values it takes and its handler.
namespace event_code {
inline constexpr std::uint8_t kTrigger = 0;
inline constexpr std::uint8_t kRestart = 1;
inline constexpr std::uint8_t kDirection = 2;
inline constexpr std::uint8_t kSetFrequency = 3;
inline constexpr std::uint8_t kFrequencyThroughAudioThread = 4;
inline constexpr std::uint8_t kTriggerAtFrequency = 5;
inline constexpr std::uint8_t kLoopOption = 6;
inline constexpr std::uint8_t kInPoint = 7;
inline constexpr std::uint8_t kOutPoint = 8;
inline constexpr std::uint8_t kPause = 9;
inline constexpr std::uint8_t kRelease = 10;
inline constexpr std::uint8_t kClearOutput = 11;
inline constexpr std::uint8_t kTrailsOption = 12;
inline constexpr std::uint8_t kLayeringOption = 13;
inline constexpr std::uint8_t kMidiChannelsOption = 14;
inline constexpr std::uint8_t kPositionFromController = 15;
inline constexpr std::uint8_t kMove = 16;
inline constexpr std::uint8_t kZoom = 17;
inline constexpr std::uint8_t kSize = 18;
inline constexpr std::uint8_t kAspect = 19;
inline constexpr std::uint8_t kLumaKeyLevel = 20;
inline constexpr std::uint8_t kPitchWheelAssignment = 21;
inline constexpr std::uint8_t kPitchNotesOption = 22;
inline constexpr std::uint8_t kWidth = 23;
inline constexpr std::uint8_t kHeight = 24;
inline constexpr std::uint8_t kStopAll = 25;
inline constexpr std::uint8_t kStopEverySlot = 26;
inline constexpr std::uint8_t kUnused27 = 27;
inline constexpr std::uint8_t kStandbyOn = 28;
inline constexpr std::uint8_t kStandbyOff = 29;
inline constexpr std::uint8_t kNudgeFrequency = 30;
inline constexpr std::uint8_t kVolume = 31;
inline constexpr std::uint8_t kMute = 32;
inline constexpr std::uint8_t kUnmute = 33;
inline constexpr std::uint8_t kTransparency = 34;
inline constexpr std::uint8_t kLumaBlend = 35;
inline constexpr std::uint8_t kTrailsStrength = 36;
inline constexpr std::uint8_t kCrossfade = 37;
inline constexpr std::uint8_t kUnused38 = 38;
inline constexpr std::uint8_t kMasterVolume = 39;
inline constexpr std::uint8_t kScratch = 40;
inline constexpr std::uint8_t kPan = 41;
// Sets one entry of the control table (control_table.h): Value is the value, Value2 the
// entry's index and Slot the slot of a slot entry.
inline constexpr std::uint8_t kSetControl = 42;
} // namespace event_code

// The last code a performance file may send as a numbered event; the control table's
// entries are set by name.
inline constexpr std::uint8_t kLastEventCode = event_code::kPan;
inline constexpr std::size_t kEventCodeCount = event_code::kSetControl + 1;

// Where performance actions go: the event processor.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void ProcessEvent(const TSlotEvent& event) = 0;
};

} // namespace oskel
