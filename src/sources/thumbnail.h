#pragma once

#include <cstdint>

#include "core/user_interface_port.h"

namespace oskel {

// Stretches a delivered frame (24-bit BGR, bottom-up, packed rows) to the thumbnail size by
// taking the nearest source pixel.
ThumbnailPicture stretchToThumbnail(const std::uint8_t* pixels, int width, int height);
// The same into a picture whose pixel storage is reused: no allocation once it has the size.
void stretchIntoThumbnail(
    const std::uint8_t* pixels, int width, int height, ThumbnailPicture& picture);

} // namespace oskel
