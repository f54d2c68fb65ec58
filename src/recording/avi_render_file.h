#pragma once

#include <filesystem>
#include <memory>

#include "recording/render_output.h"

namespace oskel {

// An AVI file with one picture stream, compressed as `encoding` says, and one sound stream of
// 16-bit PCM at 44100 Hz stereo. Written as "<file>.partial" and renamed at the end.
std::unique_ptr<RenderOutput> openAviRenderFile(
    const std::filesystem::path& file, const VideoEncoding& encoding);

} // namespace oskel
