#pragma once

#include <cstdint>
#include <memory>

#include "render/texture_layout.h"

namespace oskel {

// The renderer's three pixel buffers, made once: every frame is prepared in them, so drawing
// never allocates. Each holds one texture of at most 512 x 512 pixels.
struct WorkBuffers {
    static constexpr std::size_t kPixels = std::size_t { kMaxTextureEdge } * kMaxTextureEdge;
    std::unique_ptr<std::uint8_t[]> rgb { new std::uint8_t[kPixels * 3] };
    std::unique_ptr<std::uint8_t[]> rgba { new std::uint8_t[kPixels * 4] };
    std::unique_ptr<std::uint8_t[]> rgba2 { new std::uint8_t[kPixels * 4] };
};

} // namespace oskel
