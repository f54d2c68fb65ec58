#include "render/layer_pixels.h"

#include <cstddef>
#include <vector>

#include "render/pixel_rows.h"

namespace oskel {

namespace {

// A rectangle of a bottom-up picture whose rows are rowLength pixels long.
struct Region {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

bool fitsInside(const Region& region, int width, int height)
{
    return region.x >= 0 && region.y >= 0 && region.width > 0 && region.height > 0
        && region.width <= width - region.x && region.height <= height - region.y;
}

bool hasUsableHeader(const FrameView& frame)
{
    return frame.header != nullptr && frame.header->compression == 0 && frame.pixels != nullptr;
}

// False for sizes that a texture of the layout (or the work buffers) cannot hold, and for a
// frame smaller than the clip it belongs to.
bool fitsLayout(const TPlayAvistruct& snapshot, const TBitmapInfoHeader& header,
    const TextureLayout& layout, int maxEdge)
{
    const int edge = layout.flatEdge;
    if (edge <= 0 || edge > maxEdge) {
        return false;
    }
    const auto withinEdge = [edge](int size) { return size > 0 && size <= edge; };
    return withinEdge(snapshot.ClipWidth) && withinEdge(snapshot.ClipHeight)
        && withinEdge(header.width) && header.width >= snapshot.ClipWidth
        && header.height >= snapshot.ClipHeight;
}

// The mask is used only when it covers the whole clip, byte for byte, and the region.
const std::uint8_t* usableStencil(const TPlayAvistruct& snapshot, const Region& region)
{
    if (!snapshot.StencilEnabled || !snapshot.StencilMask) {
        return nullptr;
    }
    const std::size_t width = snapshot.StencilWidth > 0 ? std::size_t(snapshot.StencilWidth) : 0;
    const std::size_t height = snapshot.StencilHeight > 0 ? std::size_t(snapshot.StencilHeight) : 0;
    const bool matchesClip = snapshot.StencilWidth == snapshot.ClipWidth
        && snapshot.StencilHeight == snapshot.ClipHeight
        && snapshot.StencilMask->size() == width * height;
    if (!matchesClip || !fitsInside(region, snapshot.StencilWidth, snapshot.StencilHeight)) {
        return nullptr;
    }
    return snapshot.StencilMask->data();
}

std::size_t offsetOf(const Region& region, int row, int rowLength)
{
    return (std::size_t(region.y) + std::size_t(row)) * std::size_t(rowLength)
        + std::size_t(region.x);
}

} // namespace

PreparedLayer prepareLayerPixels(const TPlayAvistruct& snapshot, const FrameView& frame,
    const TextureLayout& layout, const LumaTable& luma, const ProductTable& product, bool softSwap,
    WorkBuffers& buffers)
{
    PreparedLayer prepared;
    if (!hasUsableHeader(frame)) {
        prepared.refusal = FrameRefusal::NotDrawable;
        return prepared;
    }
    const TBitmapInfoHeader& header = *frame.header;
    const bool tiled = snapshot.BillBoard;
    const Region region = tiled
        ? Region { layout.tileX, layout.tileY, layout.tileEdge, layout.tileEdge }
        : Region { 0, 0, snapshot.ClipWidth, snapshot.ClipHeight };
    const int maxEdge = buffers.maxEdge;
    if (!fitsLayout(snapshot, header, layout, maxEdge) || region.width > maxEdge
        || region.height > maxEdge || !fitsInside(region, header.width, header.height)) {
        prepared.refusal = FrameRefusal::LargerThanTexture;
        return prepared;
    }

    // The soft swap marks keyed flat layers only; tiles keep the slot's own swap.
    const int swapMode = !tiled && snapshot.LumaKey && softSwap ? 2 : snapshot.ColourSwapMode;
    const int width = region.width;
    const int height = region.height;
    const std::size_t packedPixels = std::size_t(width) * std::size_t(height);
    for (int row = 0; row < height; ++row) {
        copyRowWithColourSwap(frame.pixels + 3 * offsetOf(region, row, header.width),
            buffers.rgb.get() + std::size_t(row) * std::size_t(width) * 3, width, swapMode);
    }

    const std::uint8_t* const mask = usableStencil(snapshot, region);
    prepared.pixels.width = width;
    prepared.pixels.height = height;
    prepared.pixels.format = PixelFormat::BGRA;
    if (snapshot.LumaKey) {
        lumaAlphaRow(buffers.rgb.get(), buffers.rgba.get(), static_cast<int>(packedPixels), luma);
        prepared.pixels.data = buffers.rgba.get();
        if (mask != nullptr) {
            for (int row = 0; row < height; ++row) {
                const std::size_t packed = std::size_t(row) * std::size_t(width) * 4;
                lumaTimesStencilRow(buffers.rgba.get() + packed,
                    mask + offsetOf(region, row, snapshot.StencilWidth),
                    buffers.rgba2.get() + packed, width, product);
            }
            prepared.pixels.data = buffers.rgba2.get();
        }
    } else if (mask != nullptr) {
        for (int row = 0; row < height; ++row) {
            const std::size_t packed = std::size_t(row) * std::size_t(width);
            stencilAlphaRow(buffers.rgb.get() + packed * 3,
                mask + offsetOf(region, row, snapshot.StencilWidth),
                buffers.rgba.get() + packed * 4, width);
        }
        prepared.pixels.data = buffers.rgba.get();
    } else {
        prepared.pixels.format = PixelFormat::BGR;
        prepared.pixels.data = buffers.rgb.get();
    }
    return prepared;
}

} // namespace oskel
