#pragma once

#include <filesystem>
#include <memory>

#include "recording/render_container.h"
#include "recording/render_output.h"

namespace oskel {

// A video file with one picture stream, compressed as `encoding` says, and one sound stream at
// 44100 Hz stereo, in the container's sound format. Written as "<file>.partial" and renamed
// at the end, so that a render that did not finish never looks like one that did.
std::unique_ptr<RenderOutput> openContainerRenderFile(const std::filesystem::path& file,
    const RenderContainer& container, const VideoEncoding& encoding);

} // namespace oskel
