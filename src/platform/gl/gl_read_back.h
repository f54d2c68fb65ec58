#pragma once

#include <cstddef>
#include <cstdint>

namespace oskel {

// Reads width x height pixels at (0, 0) of the framebuffer bound for reading into bgr as
// blue-green-red bytes, rows packed, top row first. Context current. False when bgr is
// smaller than the picture or OpenGL reported an error.
bool readBgrTopRowFirst(int width, int height, std::uint8_t* bgr, std::size_t size);

} // namespace oskel
