#pragma once

#include <array>
#include <string_view>

#include "core/slot_number.h"

namespace oskel::layer_stack_layout {

// Where things go in the layer stack widget: a column of sixteen entries in drawing order, the
// top layer at the top, each with its caption, opacity bar, luma bar and thumbnail.

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Box&) const = default;
};

struct Margins {
    int horizontal = 4;
    int vertical = 10;
    int thumbHeight = 36;
};

constexpr int kCaptionHeight = 15;
constexpr int kOpacityBarMax = 256;
constexpr int kLumaBarMax = 765;

constexpr int thumbWidth(int thumbHeight)
{
    return thumbHeight * 4 / 3;
}

// The largest thumbnail height up to `preferred` with which sixteen entries fit in the height
// without overlapping; at least 8.
int fittingThumbHeight(int height, int verticalMargin, int preferred);

// The entries' places by position: index 0 is position 1, the bottom layer.
std::array<Box, kSlotCount> entryPlaces(int width, int height, const Margins& margins);

struct EntryParts {
    Box thumbnail;
    Box caption;
    Box opacityBar;
    Box lumaBar;
};
// The parts of an entry of that size.
EntryParts entryParts(int width, int height, int thumbHeight);

// One-character captions are drawn 15 pixels high, two-character ones ("F#") 10.
int captionPixelHeight(std::string_view caption);

// The bars show what is left: full for an opaque layer without luma key.
int opacityBarPosition(int alphaLevel);
int lumaBarPosition(int lumaKeyLevel);

} // namespace oskel::layer_stack_layout
