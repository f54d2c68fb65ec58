#pragma once

#include <cstring>
#include <vector>

#include "app/render_surface.h"
#include "playback/null_frame_renderer.h"

namespace oskel::test {

// What a LayerLogRenderer draws for one layer: the values that tell which frame of which slot
// was drawn, and with what settings.
struct LoggedLayer {
    std::int32_t slot = 0;
    std::int32_t firstByte = 0; // of the frame's pixels: the test clips' frame number
    std::int32_t alphaLevel = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t lumaKeyLevel = 0;
    bool operator==(const LoggedLayer&) const = default;
};

// A renderer whose picture is a log of the tick: row k (from the top) holds the k-th layer
// drawn, as the fields of a LoggedLayer in 32-bit little-endian words, and the bottom row
// holds the tick time the renderer was given. The rest is black. So the frames a render
// writes say exactly what the compositor was asked to draw, when.
class LayerLogRenderer : public NullFrameRenderer {
public:
    static constexpr std::size_t kRowBytes = 384 * 3;
    static constexpr std::size_t kPictureBytes = kRowBytes * 288;

    void setTickTime(std::uint32_t milliseconds) override { m_tickMs = milliseconds; }
    void DrawSlotFrame(int slot, const TPlayAvistruct& snapshot, const std::uint8_t* pixels,
        const TBitmapInfoHeader&) override
    {
        m_layers.push_back({ slot, pixels[0], snapshot.AlphaLevel, snapshot.Left, snapshot.Top,
            snapshot.Right, snapshot.Bottom, snapshot.LumaKeyLevel });
    }
    void Present() override
    {
        m_picture.assign(kPictureBytes, 0);
        for (std::size_t k = 0; k < m_layers.size() && k < 287; ++k) {
            std::memcpy(&m_picture[k * kRowBytes], &m_layers[k], sizeof(LoggedLayer));
        }
        std::memcpy(&m_picture[287 * kRowBytes], &m_tickMs, sizeof m_tickMs);
        m_layers.clear();
    }
    bool readOutput(std::uint8_t* bgr, std::size_t size) override
    {
        if (!readable || m_picture.size() != kPictureBytes || size < kPictureBytes) {
            return false;
        }
        std::memcpy(bgr, m_picture.data(), kPictureBytes);
        return true;
    }

    // Reads the log back from a picture (blue-green-red, top row first).
    static std::vector<LoggedLayer> layersIn(const std::uint8_t* picture)
    {
        std::vector<LoggedLayer> layers;
        for (std::size_t k = 0; k < 287; ++k) {
            LoggedLayer layer;
            std::memcpy(&layer, picture + k * kRowBytes, sizeof layer);
            if (layer.slot == 0) {
                break;
            }
            layers.push_back(layer);
        }
        return layers;
    }
    static std::uint32_t tickTimeIn(const std::uint8_t* picture)
    {
        std::uint32_t ms = 0;
        std::memcpy(&ms, picture + 287 * kRowBytes, sizeof ms);
        return ms;
    }

    bool readable = true;

private:
    std::vector<LoggedLayer> m_layers;
    std::vector<std::uint8_t> m_picture;
    std::uint32_t m_tickMs = 0;
};

// A render surface that draws with a LayerLogRenderer.
class LayerLogSurface : public RenderSurface {
public:
    explicit LayerLogSurface(bool readable = true)
        : m_readable(readable)
    {
    }
    RendererChoice makeRenderer(Performance&, MainThreadDispatcher&) override
    {
        auto renderer = std::make_unique<LayerLogRenderer>();
        renderer->readable = m_readable;
        return RendererChoice { std::move(renderer), nullptr };
    }

private:
    bool m_readable;
};

} // namespace oskel::test
