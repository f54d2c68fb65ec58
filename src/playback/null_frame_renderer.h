#pragma once

#include "playback/frame_renderer.h"

namespace oskel {

// A renderer with no output: the frame clock runs, the workers decode, nothing is drawn.
// Stands in while the program runs without a drawing surface.
class NullFrameRenderer : public FrameRenderer {
public:
    bool InitDisplay() override { return true; }
    void makeCurrent() override { }
    void releaseContext() override { }
    void setTickTime(std::uint32_t) override { }
    void DeleteSlotTextures(int) override { }
    void CreateSlotTextures(int, int, int) override { }
    void DrawSlotFrame(
        int, const TPlayAvistruct&, const std::uint8_t*, const TBitmapInfoHeader&) override
    {
    }
    void DrawSlotAgain(int, const TPlayAvistruct&) override { }
    void Present() override { }
    void ClearOutput() override { }
    void ShowPicture(const std::filesystem::path&) override { }
    void DropPicture() override { }
    bool showingPicture() const override { return false; }
};

} // namespace oskel
