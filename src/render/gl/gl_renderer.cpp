#include "render/gl/gl_renderer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/control_names.h"
#include "platform/bitmap_file.h"
#include "render/gl/framebuffer_functions.h"
#include "render/gl/layer_drawing.h"
#include "render/gl/picture_drawing.h"
#include "render/gl/texture_sampling.h"
#include "render/layer_pixels.h"
#include "render/trails_fade.h"

namespace oskel {

namespace {

constexpr double kFirstLayerDepth = -0.99;
constexpr double kLayerDepthStep = 0.02;
constexpr int kTvOutMode = 2;

PictureArea wholePicture()
{
    return { 0.0f, 0.0f, 1.0f, 1.0f };
}

// The part of the display area the composition is drawn in.
PictureArea viewportArea(const Viewport& viewport)
{
    const float width = kCompositionWidth;
    const float height = kCompositionHeight;
    return { float(viewport.x) / width, float(viewport.y) / height,
        float(viewport.x + viewport.width) / width, float(viewport.y + viewport.height) / height };
}

// The viewport, fitted in 384 x 288 units, in the composition's pixels. At 384 x 288 it is the
// same viewport.
Viewport inPixels(const Viewport& area, CompositionSize composition)
{
    const double scaleX = double(composition.width) / kCompositionWidth;
    const double scaleY = double(composition.height) / kCompositionHeight;
    const auto scaled = [](int value, double scale) { return int(std::lround(value * scale)); };
    Viewport pixels = area;
    pixels.x = scaled(area.x, scaleX);
    pixels.y = scaled(area.y, scaleY);
    pixels.width = std::max(1, scaled(area.x + area.width, scaleX) - pixels.x);
    pixels.height = std::max(1, scaled(area.y + area.height, scaleY) - pixels.y);
    return pixels;
}

int largestTextureEdge(CompositionSize composition)
{
    return composition.isStandard() ? kMaxTextureEdge : kMaxFullTextureEdge;
}

} // namespace

GlRenderer::GlRenderer(
    Performance& performance, GlSurface& mainSurface, MainThreadDispatcher& mainThread)
    : m_performance(performance)
    , m_main(mainSurface)
    , m_mainThread(mainThread)
{
}

GlRenderer::~GlRenderer()
{
    if (m_main.makeCurrent()) {
        releaseGlObjects();
        m_main.doneCurrent();
    }
}

void GlRenderer::releaseGlObjects()
{
    for (GlLayer& each : m_layers) {
        deleteLayerTextures(each);
    }
    DropPicture();
    m_target.destroy();
    m_ready = false;
}

bool GlRenderer::failInit(std::string reason)
{
    m_lastError = "The output cannot be drawn: " + reason;
    m_performance.ui().setStatusText(m_lastError);
    return false;
}

bool GlRenderer::InitDisplay()
{
    m_ready = false;
    if (!m_main.makeCurrent()) {
        return failInit("its drawing context cannot be made current");
    }
    const DisplayOptions& display = m_performance.options().display;
    m_softSwap = display.SoftSwap;
    m_tvOutMode = display.displayOption == kTvOutMode;
    m_viewport = m_tvOutMode ? Viewport {} : fitViewport(display);
    if (!makeTarget()) {
        m_main.doneCurrent();
        return false;
    }
    m_pixelViewport = inPixels(m_viewport, m_composition);
    setUpComposition();
    CreateAllSlotTextures();
    setUpSecondary();
    showComposed();
    m_ready = true;
    m_main.doneCurrent();
    return true;
}

void GlRenderer::setCompositionSize(CompositionSize size)
{
    const auto side = [](int value) { return std::clamp(value, 1, kLargestCompositionSide); };
    m_requestedComposition = { side(size.width), side(size.height) };
}

// The two pictures at the composition size asked for, and work buffers for its frames. The
// slots' textures are made again afterwards, for the largest edge of this size.
bool GlRenderer::makeTarget()
{
    if (m_target.ready() && m_composition == m_requestedComposition) {
        return true;
    }
    m_composition = m_requestedComposition;
    const int maxEdge = largestTextureEdge(m_composition);
    if (m_buffers.maxEdge != maxEdge) {
        m_buffers = WorkBuffers(maxEdge);
    }
    std::string error;
    const bool standard = m_composition == kStandardComposition;
    const FrameSize scaledCopy = standard ? FrameSize {} : FrameSize { kAreaWidth, kAreaHeight };
    if (!m_target.create(loadFramebufferFunctions(m_main), m_composition.width,
            m_composition.height, scaledCopy, error)) {
        return failInit(error);
    }
    return true;
}

void GlRenderer::setUpComposition()
{
    m_target.bindComposing();
    composeViewport();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    // Frame rows are packed, whatever their width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    setClearColour();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlRenderer::setUpSecondary()
{
    m_secondaryReady = m_secondary != nullptr && setUpMirror(*m_secondary);
    m_secondOutputReady = m_secondOutput != nullptr && setUpMirror(*m_secondOutput);
    m_main.makeCurrent();
}

// A surface that shows the composed picture: cleared to black, released for the next thread.
bool GlRenderer::setUpMirror(GlSurface& surface)
{
    if (!surface.makeCurrent()) {
        return false;
    }
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    surface.doneCurrent();
    return true;
}

// The composition's coordinates: x 0..384, y 0..288 upwards, depth -100..100, in the viewport
// (whatever the composition's pixel size).
void GlRenderer::composeViewport() const
{
    usePixelViewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, kCompositionWidth, 0.0, kCompositionHeight, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GlRenderer::usePixelViewport() const
{
    glViewport(m_pixelViewport.x, m_pixelViewport.y, m_pixelViewport.width, m_pixelViewport.height);
}

void GlRenderer::makeCurrent()
{
    m_main.makeCurrent();
}

void GlRenderer::releaseContext()
{
    m_main.doneCurrent();
}

void GlRenderer::setTickTime(std::uint32_t milliseconds)
{
    m_rotation.setTickTime(milliseconds);
}

void GlRenderer::DeleteSlotTextures(int slot)
{
    if (isValidSlot(slot)) {
        deleteLayerTextures(layer(slot));
    }
}

void GlRenderer::CreateSlotTextures(int slot, int width, int height)
{
    if (!isValidSlot(slot)) {
        return;
    }
    GlLayer& target = layer(slot);
    width = width == -1 ? target.frameWidth : width;
    height = height == -1 ? target.frameHeight : height;
    deleteLayerTextures(target);
    if (width <= 0 || height <= 0) {
        return;
    }
    target.layout = textureLayoutFor(width, height, m_buffers.maxEdge);
    target.frameWidth = width;
    target.frameHeight = height;
    target.oversizeReported = false;
    dropMismatchedStencil(slot, width, height);
    const TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
    const bool withAlpha = snapshot.LumaKey || snapshot.StencilEnabled;
    target.flatTexture = makeLayerTexture(target.layout.flatEdge, withAlpha);
    target.tileTexture = makeLayerTexture(target.layout.tileEdge, withAlpha);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// A stencil mask made for frames of another size cannot key this clip: the slot's stencil is
// switched off, in the snapshot at once and in the live record and the stencil button on the
// main thread.
void GlRenderer::dropMismatchedStencil(int slot, int width, int height)
{
    TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
    if (!snapshot.StencilEnabled || !snapshot.StencilMask
        || (snapshot.StencilWidth == width && snapshot.StencilHeight == height)) {
        return;
    }
    snapshot.StencilEnabled = false;
    Performance& performance = m_performance;
    m_mainThread.post([&performance, slot] {
        performance.slot(slot).StencilEnabled = false;
        if (performance.globals().selectedSlot == slot) {
            performance.ui().showControlValue(control::kStencilEnable, false);
        }
    });
}

void GlRenderer::CreateAllSlotTextures()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        CreateSlotTextures(slot, -1, -1);
    }
    glFinish();
}

void GlRenderer::DeleteAllSlotTextures()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        DeleteSlotTextures(slot);
    }
    glFinish();
}

void GlRenderer::DrawSlotFrame(int slot, const TPlayAvistruct& snapshot, const std::uint8_t* pixels,
    const TBitmapInfoHeader& header)
{
    if (!m_ready || !isValidSlot(slot) || pixels == nullptr || header.compression != 0) {
        return;
    }
    TPlayAvistruct& live = m_performance.slot(slot);
    if (snapshot.TextureDirty) {
        live.TextureDirty = false;
        CreateSlotTextures(slot, snapshot.ClipWidth, snapshot.ClipHeight);
    }
    GlLayer& target = layer(slot);
    if (snapshot.LumaKey) {
        target.luma.update(snapshot.LumaKeyLevel, snapshot.LumaBlendLevel, snapshot.InverseLuma);
    }
    const PreparedLayer prepared = prepareLayerPixels(snapshot, FrameView { pixels, &header },
        target.layout, target.luma.table, m_product, m_softSwap, m_buffers);
    if (prepared.refusal == FrameRefusal::LargerThanTexture) {
        reportOversize(slot, header);
        return;
    }
    if (prepared.pixels.data == nullptr) {
        return;
    }
    const bool tiled = snapshot.BillBoard;
    const GLuint texture = tiled ? target.tileTexture : target.flatTexture;
    const int edge = tiled ? target.layout.tileEdge : target.layout.flatEdge;
    if (texture == 0) {
        return;
    }
    if (prepared.pixels.width > edge || prepared.pixels.height > edge) {
        reportOversize(slot, header);
        return;
    }
    upload(texture, prepared.pixels);
    target.uploadedTexture = texture;
    DrawLayer(slot, snapshot);
}

// The texture keeps the last frame uploaded; it is drawn again only while it is the texture
// the slot's settings draw from.
void GlRenderer::DrawSlotAgain(int slot, const TPlayAvistruct& snapshot)
{
    if (!m_ready || !isValidSlot(slot) || snapshot.TextureDirty) {
        return;
    }
    const GlLayer& target = layer(slot);
    const GLuint texture = snapshot.BillBoard ? target.tileTexture : target.flatTexture;
    if (texture == 0 || texture != target.uploadedTexture) {
        return;
    }
    DrawLayer(slot, snapshot);
}

void GlRenderer::upload(GLuint texture, const PreparedPixels& pixels)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, pixels.width, pixels.height,
        pixels.format == PixelFormat::BGRA ? GL_BGRA : GL_BGR, GL_UNSIGNED_BYTE, pixels.data);
}

// Told once per clip: the frame thread only counts, the status line is set on the main thread.
void GlRenderer::reportOversize(int slot, const TBitmapInfoHeader& header)
{
    ++m_oversizeFrames;
    GlLayer& target = layer(slot);
    if (target.oversizeReported) {
        return;
    }
    target.oversizeReported = true;
    UserInterfacePort& ui = m_performance.ui();
    const int width = header.width;
    const int height = header.height;
    m_mainThread.post([&ui, slot, width, height] {
        ui.setStatusText("Slot " + std::to_string(slot) + ": frames of " + std::to_string(width)
            + " x " + std::to_string(height) + " do not fit its texture and are not shown");
    });
}

void GlRenderer::DrawLayer(int slot, const TPlayAvistruct& snapshot)
{
    glClear(GL_DEPTH_BUFFER_BIT);
    if (!snapshot.Playing) {
        return;
    }
    GlLayer& target = layer(slot);
    const bool additive = target.additive;
    if (snapshot.BillBoard) {
        DrawTiledLayer(snapshot, m_performance.slot(slot), target, additive,
            m_rotation.stepFactor(), m_viewport.aspect);
    } else {
        DrawFlatLayer(snapshot, target, additive, m_z);
        m_z += kLayerDepthStep;
    }
}

void GlRenderer::Present()
{
    if (!m_ready) {
        return;
    }
    if (m_loadingPicture != 0) {
        drawLoadingPicture(m_loadingPicture);
        showComposed();
        offerTvOut();
        return;
    }
    setClearColour();
    showComposed();
    offerTvOut();
    prepareNextFrame();
    m_z = kFirstLayerDepth;
    m_rotation.step();
}

void GlRenderer::setClearColour()
{
    const float blue = m_performance.globals().ColouredBackground ? 1.0f : 0.0f;
    glClearColor(0.0f, 0.0f, blue, 1.0f);
}

// Shows the picture being composed on the surfaces; it is then the presented picture.
void GlRenderer::showComposed()
{
    const GLuint picture = m_target.composingTexture();
    m_target.bindSurface();
    drawPicture(picture, wholePicture(), m_main.width(), m_main.height());
    m_main.swapBuffers();
    const bool secondOutput = m_secondOutputReady && m_secondOutputShown;
    if (m_secondaryReady || secondOutput) {
        // The other contexts read the picture: it must be complete first.
        glFlush();
        if (m_secondaryReady) {
            drawMirror(*m_secondary, picture);
        }
        if (secondOutput) {
            drawMirror(*m_secondOutput, picture);
        }
        m_main.makeCurrent();
    }
    m_target.markComposingPresented();
    m_target.bindComposing();
    usePixelViewport();
}

// The composition area of the picture, stretched over the whole surface.
void GlRenderer::drawMirror(GlSurface& surface, GLuint picture)
{
    if (surface.makeCurrent()) {
        drawPicture(picture, viewportArea(m_viewport), surface.width(), surface.height());
        surface.swapBuffers();
        // Released, so that whichever thread draws next can take it.
        surface.doneCurrent();
    }
}

// In the TV-out mode the preview shows the picture just presented (scaled to 384 x 288 when
// its buffer is of that size and the composition larger).
void GlRenderer::offerTvOut()
{
    if (m_tvOutMode && m_tvOut != nullptr) {
        m_tvOut->offer(
            [this](std::uint8_t* bgr, std::size_t size) { return readOutput(bgr, size); });
    }
}

// The next frame starts from black, or with trails from the picture just shown, darkened.
void GlRenderer::prepareNextFrame()
{
    const GlobalState& globals = m_performance.globals();
    const GLuint shown = m_target.presentedTexture();
    m_target.composeInOther();
    if (!globals.Trails) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    drawPicture(shown, wholePicture(), m_target.width(), m_target.height());
    usePixelViewport();
    fadeForTrails(float(trailsFadeAlpha(globals.trailsStrength)));
    if (m_clearOnce.exchange(false)) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        glClear(GL_DEPTH_BUFFER_BIT);
    }
}

void GlRenderer::clearPicture()
{
    if (m_ready) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
}

void GlRenderer::ShowPicture(const std::filesystem::path& bitmap)
{
    const std::optional<ColourBitmap> picture = readColourBitmapFile(bitmap);
    if (!m_ready || !picture) {
        return;
    }
    DropPicture();
    m_loadingPicture = makePictureTexture(*picture);
}

void GlRenderer::DropPicture()
{
    if (m_loadingPicture != 0) {
        glDeleteTextures(1, &m_loadingPicture);
        m_loadingPicture = 0;
    }
}

bool GlRenderer::readOutput(std::uint8_t* bgr, std::size_t size)
{
    if (!m_ready) {
        return false;
    }
    if (size == kStandardComposition.bgrBytes() && !(m_composition == kStandardComposition)) {
        return readStandardSize(bgr, size);
    }
    return m_target.readPresented(bgr, size);
}

// For whoever takes 384 x 288 pictures (the live stream, the previews): the presented picture
// drawn smaller, filtered, into the target's own picture of that size, and read from there.
bool GlRenderer::readStandardSize(std::uint8_t* bgr, std::size_t size)
{
    const bool read
        = m_target.readPresentedScaled(bgr, size, [](GLuint picture, int width, int height) {
              glBindTexture(GL_TEXTURE_2D, picture);
              setTextureSampling(GL_LINEAR, GL_CLAMP_TO_EDGE);
              drawPicture(picture, wholePicture(), width, height);
              setTextureSampling(GL_NEAREST, GL_CLAMP_TO_EDGE);
          });
    usePixelViewport();
    return read;
}

void GlRenderer::SetSlotBurn(int slot, bool burn)
{
    if (!isValidSlot(slot)) {
        return;
    }
    m_performance.slot(slot).Burn = burn;
    layer(slot).additive = burn;
}

} // namespace oskel
