#pragma once

#include <cstdint>

#include "core/slot_record.h"
#include "render/luma_table.h"
#include "render/product_table.h"
#include "render/texture_layout.h"
#include "render/work_buffers.h"
#include "sources/source_info.h"

namespace oskel {

// The processor half of drawing a slot's frame: the frame's region is copied with the colour
// swap, then given its alpha from the luma key, the stencil or both, into the work buffers.
// What comes out is what the texture upload takes. Pure: no drawing context needed.

enum class PixelFormat { BGR, BGRA };

struct PreparedPixels {
    const std::uint8_t* data = nullptr; // points into the work buffers; null: nothing to draw
    int width = 0; // texels, packed rows of width x 3 (or x 4) bytes
    int height = 0;
    PixelFormat format = PixelFormat::BGR;
};

enum class FrameRefusal {
    None,
    NotDrawable, // no header, or a compressed one: ignored, the layer is not drawn
    LargerThanTexture // the frame does not fit the texture made for the clip, or its sizes do
                      // not (a side of 0 or below, a frame smaller than the clip, a tile
                      // outside the frame): ignored, the layer is not drawn, nothing written
};

struct PreparedLayer {
    PreparedPixels pixels;
    FrameRefusal refusal = FrameRefusal::None;
};

struct FrameView {
    // 24-bit blue-green-red, bottom row first, packed: header width x height pixels.
    const std::uint8_t* pixels = nullptr;
    const TBitmapInfoHeader* header = nullptr;
};

// Prepares the flat layer (BillBoard off) or the tile (BillBoard on) of `snapshot`'s frame.
// The luma table must already be up to date for the snapshot's key settings. A stencil whose
// size does not match the clip (or whose mask holds another number of bytes) is left out
// rather than read past its end; its rows are StencilWidth bytes long in every case.
PreparedLayer prepareLayerPixels(const TPlayAvistruct& snapshot, const FrameView& frame,
    const TextureLayout& layout, const LumaTable& luma, const ProductTable& product, bool softSwap,
    WorkBuffers& buffers);

} // namespace oskel
