#pragma once

#include <cstdint>

namespace oskel {

// One performance action. Codes 0..41 name the actions; fields a code does not use are not
// read.
struct TSlotEvent {
    std::uint8_t Code = 0;
    std::int32_t Value = 0;
    std::int32_t Value2 = 0;
    std::int32_t Slot = 0;
};

// The codes that the controls send by name.
namespace event_code {
inline constexpr std::uint8_t kTrigger = 0;
inline constexpr std::uint8_t kDirection = 2;
inline constexpr std::uint8_t kSetFrequency = 3;
inline constexpr std::uint8_t kLoopOption = 6;
inline constexpr std::uint8_t kInPoint = 7;
inline constexpr std::uint8_t kOutPoint = 8;
inline constexpr std::uint8_t kPause = 9;
inline constexpr std::uint8_t kRelease = 10;
inline constexpr std::uint8_t kClearOutput = 11;
inline constexpr std::uint8_t kTrailsOption = 12;
inline constexpr std::uint8_t kLayeringOption = 13;
inline constexpr std::uint8_t kMidiChannelsOption = 14;
inline constexpr std::uint8_t kMove = 16;
inline constexpr std::uint8_t kStopAll = 25;
inline constexpr std::uint8_t kStandbyOn = 28;
inline constexpr std::uint8_t kStandbyOff = 29;
inline constexpr std::uint8_t kNudgeFrequency = 30;
inline constexpr std::uint8_t kVolume = 31;
inline constexpr std::uint8_t kTransparency = 34;
inline constexpr std::uint8_t kCrossfade = 37;
inline constexpr std::uint8_t kScratch = 40;
} // namespace event_code

// Where performance actions go: the event processor.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void ProcessEvent(const TSlotEvent& event) = 0;
};

} // namespace oskel
