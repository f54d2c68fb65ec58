#pragma once

#include <filesystem>
#include <memory>

#include "recording/render_output.h"

namespace oskel {

// A folder receiving the pictures as frame-000000.png, frame-000001.png, ... and the sound
// as sound.wav. Everything is written into a hidden folder inside it first and moved into
// place at the end; frames left over from a longer earlier render are removed then.
std::unique_ptr<RenderOutput> openFrameFolder(
    const std::filesystem::path& folder, int width, int height, FrameSize picture);

// "frame-000042.png".
std::string frameFileName(std::int64_t frame);

} // namespace oskel
