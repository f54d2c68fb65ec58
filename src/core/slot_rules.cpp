#include "core/slot_rules.h"

#include "core/rounding.h"

namespace oskel {

std::int32_t rectangleSize(
    std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    const double sum = static_cast<double>(right) + bottom - left - top;
    return static_cast<std::int32_t>(roundHalfEven(sum / 2.0));
}

void updateSize(TPlayAvistruct& slot)
{
    slot.Size = rectangleSize(slot.Left, slot.Top, slot.Right, slot.Bottom);
}

bool lumaKeyInForce(std::int32_t lumaKeyLevel, bool inverseLuma)
{
    constexpr std::int32_t kFullLuma = 765;
    return inverseLuma ? lumaKeyLevel < kFullLuma : lumaKeyLevel != 0;
}

std::int64_t silentSoundLength(std::int64_t frameCount, std::int32_t frameRate)
{
    constexpr double kSampleRate = 44100.0;
    constexpr std::int64_t kBlockAlign = 2;
    if (frameCount <= 0 || frameRate <= 0) {
        return 0;
    }
    // Rounded in whole sample frames, so the buffer never ends in half a sample.
    return roundHalfEven(static_cast<double>(frameCount) / frameRate * kSampleRate) * kBlockAlign;
}

MovePosition centredPosition(const TPlayAvistruct& slot)
{
    const auto centre = [](std::int32_t low, std::int32_t high, std::int32_t extent) {
        return static_cast<std::int32_t>(
            roundHalfEven((static_cast<double>(low) - high + extent) / 2.0));
    };
    return { centre(slot.Left, slot.Right, 384), centre(slot.Top, slot.Bottom, 288) };
}

} // namespace oskel
