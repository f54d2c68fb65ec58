#pragma once

#include <cstdint>
#include <vector>

#include "core/performance.h"
#include "playback/frame_renderer.h"

namespace oskel::bench {

// Full-size playing layers with a luma key and opacity, as a show's would be, each with its
// textures made and a frame whose brightness runs across it, different for each layer, so
// that the key keeps, blends and drops pixels alike.
class KeyedLayers {
public:
    static constexpr int kWidth = 384;
    static constexpr int kHeight = 288;

    KeyedLayers(Performance& performance, FrameRenderer& renderer, int count)
        : m_performance(performance)
    {
        m_header.width = kWidth;
        m_header.height = kHeight;
        for (int slot = 1; slot <= count; ++slot) {
            TPlayAvistruct& record = performance.slot(slot);
            record.Loaded = true;
            record.Playing = true;
            record.ClipWidth = kWidth;
            record.ClipHeight = kHeight;
            record.LumaKey = true;
            record.LumaKeyLevel = 300;
            record.LumaBlendLevel = 100;
            record.Alpha = true;
            record.AlphaLevel = 64;
            performance.snapshot()[slot] = record;
            renderer.CreateSlotTextures(slot, kWidth, kHeight);
            m_frames.push_back(gradientFrame(slot));
        }
    }

    // Uploads and draws the first `count` layers.
    void draw(FrameRenderer& renderer, int count) const
    {
        for (int slot = 1; slot <= count; ++slot) {
            renderer.DrawSlotFrame(slot, m_performance.snapshot()[slot],
                m_frames[std::size_t(slot - 1)].data(), m_header);
        }
    }

private:
    static std::vector<std::uint8_t> gradientFrame(int slot)
    {
        std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight * 3);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::size_t at = (std::size_t(y) * kWidth + std::size_t(x)) * 3;
                pixels[at] = static_cast<std::uint8_t>((x + slot * 16) % 256);
                pixels[at + 1] = static_cast<std::uint8_t>(y % 256);
                pixels[at + 2] = static_cast<std::uint8_t>((x + y) % 256);
            }
        }
        return pixels;
    }

    Performance& m_performance;
    TBitmapInfoHeader m_header;
    std::vector<std::vector<std::uint8_t>> m_frames;
};

} // namespace oskel::bench
