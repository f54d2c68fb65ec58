#pragma once

#include <cstdint>

namespace oskel {

// A clip rectangle in the 384 x 288 composition area. The edits below are those of the
// geometry events; "constrained" keeps the clip inside the area. Every rounding goes to the
// nearest integer, halves to even.
struct SlotRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 384;
    std::int32_t bottom = 288;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool operator==(const SlotRect&) const = default;
};

inline constexpr std::int32_t kAreaWidth = 384;
inline constexpr std::int32_t kAreaHeight = 288;

SlotRect moveTo(SlotRect rect, std::int32_t x, std::int32_t y, bool constrained);
// v is 0..127 across, 0..254 down.
SlotRect positionFromController(SlotRect rect, bool horizontal, std::int32_t v, bool constrained);
// v is 0..127: 64 the clip's own pixel size, 127 the whole area.
SlotRect zoom(SlotRect rect, std::int32_t clipWidth, std::int32_t clipHeight, std::int32_t v);
// 336 is the whole area.
SlotRect resize(SlotRect rect, std::int32_t size, bool constrained);
// v is 0..127, from tall (0) to wide (127), at the given size.
SlotRect aspect(SlotRect rect, std::int32_t v, std::int32_t size);
SlotRect setWidth(SlotRect rect, std::int32_t width, bool constrained);
SlotRect setHeight(SlotRect rect, std::int32_t height, bool constrained);

// Crossfade volumes (hundredths of a decibel) for fader position p (0..255) on sides A and B.
std::int64_t crossfadeVolumeA(std::int32_t p);
std::int64_t crossfadeVolumeB(std::int32_t p);

} // namespace oskel
