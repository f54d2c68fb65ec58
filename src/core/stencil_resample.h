#pragma once

#include <cstdint>
#include <vector>

#include "platform/bitmap_file.h"

namespace oskel {

// Scales a stencil bitmap to the clip's frame size in two passes (across, then down): where
// the source is larger than the target in a direction its pixels are averaged by area, where
// it is smaller they are interpolated bilinearly; a bitmap already of the target size is
// copied. Returns targetWidth * targetHeight bytes, rows bottom-up like the source.
std::vector<std::uint8_t> resampleStencil(
    const GreyBitmap& source, int targetWidth, int targetHeight);

} // namespace oskel
