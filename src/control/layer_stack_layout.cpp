#include "control/layer_stack_layout.h"

#include <algorithm>

#include "core/rounding.h"

namespace oskel::layer_stack_layout {

namespace {

// Around the thumbnail: four pixels on every side.
constexpr int kEntryBorder = 8;

} // namespace

int fittingThumbHeight(int height, int verticalMargin, int preferred)
{
    constexpr int smallest = 8;
    const int fitting = (height - 2 * verticalMargin) / kSlotCount - kEntryBorder;
    return std::clamp(fitting, smallest, std::max(preferred, smallest));
}

std::array<Box, kSlotCount> entryPlaces(int width, int height, const Margins& margins)
{
    const int entryHeight = margins.thumbHeight + kEntryBorder;
    const int gaps = kSlotCount - 1;
    const int gap = (height - 2 * margins.vertical - kSlotCount * entryHeight) / gaps;
    const int barArea = width - 2 * margins.horizontal - thumbWidth(margins.thumbHeight) - 8;
    const int entryWidth = thumbWidth(margins.thumbHeight) + barArea + kEntryBorder;
    std::array<Box, kSlotCount> places {};
    for (int k = 0; k < kSlotCount; ++k) {
        const auto top
            = static_cast<int>(roundHalfEven(static_cast<double>(entryHeight + gap) * k));
        places.at(static_cast<std::size_t>(kSlotCount - 1 - k))
            = Box { margins.horizontal, margins.vertical + top, entryWidth, entryHeight };
    }
    return places;
}

EntryParts entryParts(int width, int height, int thumbHeight)
{
    const int thumb = thumbWidth(thumbHeight);
    const int bars = width - thumb - kEntryBorder;
    const int opacityWidth = bars / 2;
    const int barTop = 4 + kCaptionHeight;
    const int barHeight = height - barTop - 4;
    EntryParts parts;
    parts.thumbnail = Box { width - thumb - 4, 4, thumb, thumbHeight };
    parts.caption = Box { 4, 4, bars, kCaptionHeight };
    parts.opacityBar = Box { 4, barTop, opacityWidth, barHeight };
    parts.lumaBar = Box { 4 + opacityWidth, barTop, bars - opacityWidth, barHeight };
    return parts;
}

int captionPixelHeight(std::string_view caption)
{
    return caption.size() > 1 ? 10 : kCaptionHeight;
}

int opacityBarPosition(int alphaLevel)
{
    return kOpacityBarMax - std::clamp(alphaLevel, 0, kOpacityBarMax);
}

int lumaBarPosition(int lumaKeyLevel)
{
    return kLumaBarMax - std::clamp(lumaKeyLevel, 0, kLumaBarMax);
}

} // namespace oskel::layer_stack_layout
