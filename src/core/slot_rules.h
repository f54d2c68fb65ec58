#pragma once

#include <cstdint>

#include "core/slot_record.h"

namespace oskel {

// Size of a clip rectangle: the mean of its width and height, rounded half to even.
// 336 is the whole 384 x 288 composition area.
std::int32_t rectangleSize(
    std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
void updateSize(TPlayAvistruct& slot);

// A luma level of 0 turns the key off, any other level on; with InverseLuma (bright parts
// keyed out) every level below the full 765 is on and 765 is off.
bool lumaKeyInForce(std::int32_t lumaKeyLevel, bool inverseLuma);

// Transparency counts only from level 10 upwards.
constexpr bool alphaInForce(std::int32_t alphaLevel)
{
    return alphaLevel > 9;
}

// Byte length of the silent buffers of a clip opened without sound: mono 16-bit at 44100 Hz
// for the clip's duration, in whole sample frames.
std::int64_t silentSoundLength(std::int64_t frameCount, std::int32_t frameRate);

// The move (event 16) that centres a rectangle in the composition area, keeping its size.
struct MovePosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
MovePosition centredPosition(const TPlayAvistruct& slot);

// A slot holding a live source (a camera or a network stream): a clip without a length,
// which always loops its stretch of silence and has no in and out points, reverse or speed.
inline constexpr std::uint8_t kLiveSourceSystem = 2;
constexpr bool isLiveSlot(const TPlayAvistruct& slot)
{
    return slot.SourceSystem == kLiveSourceSystem;
}
// Whether the slot's sound loops when it starts: with the Loop option, or always for a live
// source.
constexpr bool loopsWhenStarted(const TPlayAvistruct& slot, bool loopOption)
{
    return loopOption || isLiveSlot(slot);
}

} // namespace oskel
