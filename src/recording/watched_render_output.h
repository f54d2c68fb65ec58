#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "recording/render_output.h"

namespace oskel {

// Called with each picture of a render, on the render's thread, before it is written; the
// picture is valid for the call only.
using PictureWatch = std::function<void(const std::uint8_t* bgr)>;

// The output, with each picture shown to `watch` first (a preview of the render).
std::unique_ptr<RenderOutput> withPictureWatch(
    std::unique_ptr<RenderOutput> output, PictureWatch watch);

} // namespace oskel
