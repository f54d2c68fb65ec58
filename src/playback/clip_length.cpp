#include "playback/clip_length.h"

#include <algorithm>
#include <cmath>

#include "core/rounding.h"

namespace oskel {

std::int64_t framesAlongSound(
    std::int64_t soundBytes, std::int64_t bytesPerSecond, double frameRate)
{
    if (soundBytes <= 0 || bytesPerSecond <= 0 || !std::isfinite(frameRate) || frameRate <= 0.0) {
        return 0;
    }
    const double frames = double(soundBytes) / double(bytesPerSecond) * frameRate;
    return std::max<std::int64_t>(1, roundHalfEven(frames));
}

std::string damagedClipNotice(
    const std::filesystem::path& file, const TSourceInfo& info, std::int64_t framesPlayed)
{
    if (info.frameCount >= info.claimedFrameCount) {
        return {};
    }
    const std::int64_t shown = std::min(info.frameCount, framesPlayed);
    return "the clip " + file.filename().string() + " is damaged: it plays its first "
        + std::to_string(shown) + " frames";
}

} // namespace oskel
