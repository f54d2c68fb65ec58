#include "sources/thumbnail.h"

#include <algorithm>
#include <cstring>

namespace oskel {

ThumbnailPicture stretchToThumbnail(const std::uint8_t* pixels, int width, int height)
{
    ThumbnailPicture picture;
    stretchIntoThumbnail(pixels, width, height, picture);
    return picture;
}

void stretchIntoThumbnail(
    const std::uint8_t* pixels, int width, int height, ThumbnailPicture& picture)
{
    picture.width = ThumbnailPicture::kWidth;
    picture.height = ThumbnailPicture::kHeight;
    const auto bytes = static_cast<std::size_t>(picture.width * picture.height * 3);
    picture.pixels.resize(bytes);
    if (pixels == nullptr || width <= 0 || height <= 0) {
        std::fill(picture.pixels.begin(), picture.pixels.end(), std::uint8_t { 0 });
        return;
    }
    for (int y = 0; y < picture.height; ++y) {
        const int sourceY = std::min(height - 1, y * height / picture.height);
        for (int x = 0; x < picture.width; ++x) {
            const int sourceX = std::min(width - 1, x * width / picture.width);
            const auto from = (static_cast<std::size_t>(sourceY) * width + sourceX) * 3;
            const auto to = (static_cast<std::size_t>(y) * picture.width + x) * 3;
            std::memcpy(picture.pixels.data() + to, pixels + from, 3);
        }
    }
}

} // namespace oskel
