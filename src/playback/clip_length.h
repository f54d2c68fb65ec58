#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "sources/source_info.h"

namespace oskel {

// The frames a slot plays of a clip with sound. The sound is the slot's clock and the frame
// shown at a play position is FrameCount x position / Length, so for the picture to keep step
// with the sound FrameCount is the sound's length counted in frames of the picture's own rate.
// That may be more than the file holds (its last frame then stays until the sound ends) or
// fewer (the frames after the sound's end are never shown). 0 when the figures give none.
std::int64_t framesAlongSound(
    std::int64_t soundBytes, std::int64_t bytesPerSecond, double frameRate);

// What the status line tells of a clip whose file holds fewer frames than its header claims,
// once the slot plays `framesPlayed` frames; empty for a whole clip.
std::string damagedClipNotice(
    const std::filesystem::path& file, const TSourceInfo& info, std::int64_t framesPlayed);

} // namespace oskel
