#include "core/stencil_loader.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/shown_text.h"
#include "core/stencil_resample.h"
#include "platform/bitmap_file.h"

namespace oskel {

namespace {

bool endsInBmp(const std::string& name)
{
    constexpr std::string_view kExtension = "bmp";
    if (name.size() < kExtension.size()) {
        return false;
    }
    return std::equal(
        kExtension.begin(), kExtension.end(), name.end() - 3, [](char expected, char actual) {
            return expected == std::tolower(static_cast<unsigned char>(actual));
        });
}

StencilLoadResult failure(std::string message)
{
    return StencilLoadResult { nullptr, std::move(message) };
}

} // namespace

StencilLoadResult loadStencilMask(const std::filesystem::path& path, int clipWidth, int clipHeight)
{
    if (holdsNul(path)) {
        return failure("Failed to Load Bitmap: the file name holds a NUL byte");
    }
    if (!endsInBmp(path.string())) {
        return failure("Sorry - only Bitmap(*.bmp) files allowed");
    }
    const GreyBitmapResult read = readGreyBitmapFile(path);
    if (read.error == BitmapError::NotEightBit) {
        return failure("Sorry - only greyscale bitmaps allowed");
    }
    if (read.error != BitmapError::None || clipWidth <= 0 || clipHeight <= 0) {
        return failure("Failed to Load Bitmap");
    }
    auto mask = std::make_shared<const std::vector<std::uint8_t>>(
        resampleStencil(read.bitmap, clipWidth, clipHeight));
    return StencilLoadResult { std::move(mask), {} };
}

} // namespace oskel
