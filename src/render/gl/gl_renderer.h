#pragma once

#include <array>
#include <atomic>
#include <string>

#include <GL/gl.h>

#include "core/engine_ports.h"
#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "platform/gl/gl_surface.h"
#include "playback/frame_renderer.h"
#include "render/gl/composition_target.h"
#include "render/gl/gl_layer.h"
#include "render/layer_pixels.h"
#include "render/presented_picture.h"
#include "render/product_table.h"
#include "render/rotation_timing.h"
#include "render/viewport_fit.h"
#include "render/work_buffers.h"

namespace oskel {

// FrameRenderer and RendererPort both name a ClearOutput: clearing the picture now (the frame
// thread) and clearing it once at the next trails frame (the event processor). These two
// bases give each its own name.
class FrameRendererClears : public FrameRenderer {
public:
    void ClearOutput() final { clearPicture(); }
    virtual void clearPicture() = 0;
};

class RendererPortClears : public RendererPort {
public:
    void ClearOutput() final { clearOnce(); }
    virtual void clearOnce() = 0;
};

// The output drawn with OpenGL: each tick the frame thread hands it the playing slots' frames
// in layer order, and it composes them into the output picture (384 x 288, or the composition
// size chosen; the slots' rectangles are in 384 x 288 units and scaled to it) with each slot's
// key, stencil, opacity, blend mode and 3D tiling, with the trails of the previous pictures,
// and shows the picture on its surface (and on the second output's surface, when there is
// one). Frame thread, with the main surface's context current, except where noted.
class GlRenderer final : public FrameRendererClears, public RendererPortClears {
public:
    GlRenderer(Performance& performance, GlSurface& mainSurface, MainThreadDispatcher& mainThread);
    ~GlRenderer() override;
    GlRenderer(const GlRenderer&) = delete;
    GlRenderer& operator=(const GlRenderer&) = delete;

    // Main thread, before InitDisplay: the second output, whose context shares the main
    // surface's textures (made with mainSurface.createSharedSurface); null for none. Shows the
    // whole composition stretched over its surface.
    void setSecondarySurface(GlSurface* secondary) { m_secondary = secondary; }
    // Main thread, before InitDisplay: the secondary output "Secondary Output" (a surface
    // sharing the main surface's textures, or null), drawn like the one above while shown.
    void setSecondOutputSurface(GlSurface* surface) { m_secondOutput = surface; }
    // Any thread: the secondary output is expanded (drawn) or collapsed (left alone).
    void showSecondOutput(bool shown) { m_secondOutputShown = shown; }
    // Main thread, before InitDisplay: in the TV-out mode every presented picture is read back
    // into `picture` for the TV-out preview; null for none. It must outlive the renderer.
    void setTvOutPicture(PresentedPicture* picture) { m_tvOut = picture; }
    // Main thread, before InitDisplay: the pixel size to compose at from the next InitDisplay;
    // sides are kept within 1..4096.
    void setCompositionSize(CompositionSize size) override;
    CompositionSize compositionSize() const override { return m_requestedComposition; }

    // Main thread (the frame thread waits): makes the offscreen pictures, fits the viewport
    // and makes every slot's textures, then releases the context. False when the output
    // cannot be drawn; the reason is in lastError() and on the status line.
    bool InitDisplay() override;
    void makeCurrent() override;
    void releaseContext() override;
    void setTickTime(std::uint32_t milliseconds) override;

    void DeleteSlotTextures(int slot) override;
    // width or height -1: the size the slot's textures were last made for.
    void CreateSlotTextures(int slot, int width, int height) override;
    void CreateAllSlotTextures();
    void DeleteAllSlotTextures();

    void DrawSlotFrame(int slot, const TPlayAvistruct& snapshot, const std::uint8_t* pixels,
        const TBitmapInfoHeader& header) override;
    void DrawSlotAgain(int slot, const TPlayAvistruct& snapshot) override;
    void Present() override;
    // Clears colour and depth of the picture being composed.
    void clearPicture() override;

    void ShowPicture(const std::filesystem::path& bitmap) override;
    void DropPicture() override;
    bool showingPicture() const override { return m_loadingPicture != 0; }
    bool readOutput(std::uint8_t* bgr, std::size_t size) override;

    // Main thread: the slot's blend mode, in the live record and the renderer's copy.
    void SetSlotBurn(int slot, bool burn) override;
    // Any thread: the next trails frame starts from a cleared picture.
    void clearOnce() override { m_clearOnce = true; }

    // In 384 x 288 units, whatever the composition size.
    const Viewport& viewport() const { return m_viewport; }
    const std::string& lastError() const { return m_lastError; }
    // Frames refused because they do not fit the slot's textures, since construction.
    int oversizeFrames() const { return m_oversizeFrames; }

private:
    GlLayer& layer(int slot) { return m_layers.at(static_cast<std::size_t>(slot - 1)); }
    bool failInit(std::string reason);
    void setUpComposition();
    void setUpSecondary();
    bool setUpMirror(GlSurface& surface);
    void drawMirror(GlSurface& surface, GLuint picture);
    void offerTvOut();
    void composeViewport() const;
    void usePixelViewport() const;
    bool makeTarget();
    bool readStandardSize(std::uint8_t* bgr, std::size_t size);
    void DrawLayer(int slot, const TPlayAvistruct& snapshot);
    void upload(GLuint texture, const PreparedPixels& pixels);
    void reportOversize(int slot, const TBitmapInfoHeader& header);
    void dropMismatchedStencil(int slot, int width, int height);
    void showComposed();
    void prepareNextFrame();
    void setClearColour();
    void releaseGlObjects();

    Performance& m_performance;
    GlSurface& m_main;
    GlSurface* m_secondary = nullptr;
    GlSurface* m_secondOutput = nullptr;
    std::atomic<bool> m_secondOutputShown = false;
    bool m_secondOutputReady = false;
    PresentedPicture* m_tvOut = nullptr;
    bool m_tvOutMode = false;
    MainThreadDispatcher& m_mainThread;

    WorkBuffers m_buffers;
    ProductTable m_product;
    std::array<GlLayer, kSlotCount> m_layers;
    CompositionTarget m_target;
    CompositionSize m_composition;
    CompositionSize m_requestedComposition;
    Viewport m_viewport;
    Viewport m_pixelViewport; // m_viewport in the composition's pixels
    RotationTiming m_rotation;
    double m_z = -0.9;
    bool m_softSwap = false;
    bool m_ready = false;
    bool m_secondaryReady = false;
    std::atomic<bool> m_clearOnce = false;
    GLuint m_loadingPicture = 0;
    int m_oversizeFrames = 0;
    std::string m_lastError;
};

} // namespace oskel
