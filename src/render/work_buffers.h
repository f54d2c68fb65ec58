#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "render/texture_layout.h"

namespace oskel {

// The renderer's three pixel buffers, made when the composition size is chosen: every frame
// is prepared in them, so drawing never allocates. Each holds one texture of at most
// maxEdge x maxEdge pixels (512 x 512 at the standard composition).
struct WorkBuffers {
    static constexpr std::size_t kPixels = std::size_t { kMaxTextureEdge } * kMaxTextureEdge;

    WorkBuffers() = default;
    explicit WorkBuffers(int largestEdge)
        : maxEdge(largestEdge)
        , pixels(std::size_t(largestEdge) * std::size_t(largestEdge))
        , rgb(new std::uint8_t[pixels * 3])
        , rgba(new std::uint8_t[pixels * 4])
        , rgba2(new std::uint8_t[pixels * 4])
    {
    }

    int maxEdge = kMaxTextureEdge;
    std::size_t pixels = kPixels;
    std::unique_ptr<std::uint8_t[]> rgb { new std::uint8_t[kPixels * 3] };
    std::unique_ptr<std::uint8_t[]> rgba { new std::uint8_t[kPixels * 4] };
    std::unique_ptr<std::uint8_t[]> rgba2 { new std::uint8_t[kPixels * 4] };
};

} // namespace oskel
