#pragma once

#include <memory>

#include "playback/frame_renderer.h"

namespace oskel {

// A renderer that draws with another one, for renderers that add one thing to a call or two
// and pass every other call on.
class ForwardingRenderer : public FrameRenderer {
public:
    explicit ForwardingRenderer(std::unique_ptr<FrameRenderer> renderer)
        : m_renderer(std::move(renderer))
    {
    }

    bool InitDisplay() override { return m_renderer->InitDisplay(); }
    void makeCurrent() override { m_renderer->makeCurrent(); }
    void releaseContext() override { m_renderer->releaseContext(); }
    void setTickTime(std::uint32_t milliseconds) override { m_renderer->setTickTime(milliseconds); }
    void DeleteSlotTextures(int slot) override { m_renderer->DeleteSlotTextures(slot); }
    void CreateSlotTextures(int slot, int width, int height) override
    {
        m_renderer->CreateSlotTextures(slot, width, height);
    }
    void DrawSlotFrame(int slot, const TPlayAvistruct& snapshot, const std::uint8_t* pixels,
        const TBitmapInfoHeader& header) override
    {
        m_renderer->DrawSlotFrame(slot, snapshot, pixels, header);
    }
    void DrawSlotAgain(int slot, const TPlayAvistruct& snapshot) override
    {
        m_renderer->DrawSlotAgain(slot, snapshot);
    }
    void Present() override { m_renderer->Present(); }
    void ClearOutput() override { m_renderer->ClearOutput(); }
    void ShowPicture(const std::filesystem::path& bitmap) override
    {
        m_renderer->ShowPicture(bitmap);
    }
    void DropPicture() override { m_renderer->DropPicture(); }
    bool showingPicture() const override { return m_renderer->showingPicture(); }
    void setCompositionSize(CompositionSize size) override { m_renderer->setCompositionSize(size); }
    CompositionSize compositionSize() const override { return m_renderer->compositionSize(); }
    bool readOutput(std::uint8_t* bgr, std::size_t size) override
    {
        return m_renderer->readOutput(bgr, size);
    }

private:
    std::unique_ptr<FrameRenderer> m_renderer;
};

} // namespace oskel
