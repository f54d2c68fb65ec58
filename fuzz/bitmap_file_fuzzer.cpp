// Feeds arbitrary bytes to the bitmap reader; whatever it accepts must have consistent sizes
// and survive resampling to a smaller and a larger frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/stencil_resample.h"
#include "platform/bitmap_file.h"

namespace {

// Resampling a bitmap of many megapixels is slow and tells nothing new.
constexpr std::size_t kMaxResampledPixels = 1 << 20;

void checkResample(const oskel::GreyBitmap& bitmap, int width, int height)
{
    if (oskel::resampleStencil(bitmap, width, height).size() != std::size_t(width) * height) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    // The same bytes as a 24-bit picture: whole rows of three bytes a pixel, or nothing.
    if (const auto picture = oskel::readColourBitmap(bytes)) {
        if (picture->width <= 0 || picture->height <= 0
            || picture->pixels.size() != std::size_t(picture->width) * picture->height * 3) {
            std::abort();
        }
    }
    const oskel::GreyBitmapResult result = oskel::readGreyBitmap(bytes);
    if (result.error != oskel::BitmapError::None) {
        if (!result.bitmap.pixels.empty() || result.detail.empty()) {
            std::abort();
        }
        return 0;
    }
    const oskel::GreyBitmap& bitmap = result.bitmap;
    const std::size_t pixelCount = std::size_t(bitmap.width) * std::size_t(bitmap.height);
    if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels.size() != pixelCount) {
        std::abort();
    }
    if (pixelCount <= kMaxResampledPixels) {
        checkResample(bitmap, 7, 5);
        checkResample(bitmap, 40, 30);
    }
    return 0;
}
