#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "core/frame_size.h"
#include "core/slot_record.h"
#include "sources/source_info.h"

namespace oskel {

// What the frame thread draws with: the output's drawing context, the slots' textures and
// the compositor. Every call comes from the frame thread, except InitDisplay, which the frame
// thread runs on the main thread.
class FrameRenderer {
public:
    virtual ~FrameRenderer() = default;

    // Main thread: fits the output and sets up the drawing state. The frame thread draws only
    // after it has returned true.
    virtual bool InitDisplay() = 0;
    virtual void makeCurrent() = 0;
    virtual void releaseContext() = 0;

    // The tick's time in milliseconds, for the rotation steps.
    virtual void setTickTime(std::uint32_t milliseconds) = 0;
    virtual void DeleteSlotTextures(int slot) = 0;
    virtual void CreateSlotTextures(int slot, int width, int height) = 0;
    // Uploads the slot's frame (24-bit BGR, bottom-up, packed rows) and draws its layer with
    // the settings of its snapshot record. The pixels are valid during the call only.
    virtual void DrawSlotFrame(int slot, const TPlayAvistruct& snapshot, const std::uint8_t* pixels,
        const TBitmapInfoHeader& header)
        = 0;
    // Draws the slot's layer again with the frame it uploaded last (its worker is late with
    // the next one), with the settings of its snapshot record; nothing when it has none.
    virtual void DrawSlotAgain(int slot, const TPlayAvistruct& snapshot) = 0;
    // Trails, crossfade and the buffer swap.
    virtual void Present() = 0;
    virtual void ClearOutput() = 0;

    // The loading picture shown while a patch loads.
    virtual void ShowPicture(const std::filesystem::path& bitmap) = 0;
    virtual void DropPicture() = 0;
    virtual bool showingPicture() const = 0;

    // Main thread: the pixel size to compose at from the next InitDisplay on. Ignored by
    // renderers that compose at 384 x 288 only.
    virtual void setCompositionSize(CompositionSize size) { (void)size; }
    // The pixel size of the composed picture: the size set for InitDisplay, known before it
    // runs, so that whoever takes the pictures can be made ready for them first.
    virtual CompositionSize compositionSize() const { return kStandardComposition; }

    // Frame thread, after Present: copies the picture just presented, compositionSize() pixels
    // of blue-green-red bytes, top row first, rows packed, into `bgr` (size bytes, at least
    // compositionSize().bgrBytes()); a buffer of exactly 384 x 288 x 3 bytes receives the
    // picture scaled to 384 x 288 where the renderer can scale it. False when there is no
    // picture to read (no drawing surface).
    virtual bool readOutput(std::uint8_t* bgr, std::size_t size)
    {
        (void)bgr;
        (void)size;
        return false;
    }
};

} // namespace oskel
