#pragma once

#include <array>
#include <functional>
#include <mutex>
#include <vector>

#include "playback/frame_renderer.h"

namespace oskel::test {

// Records what the frame thread asks to draw. A drawn frame is identified by its first
// pixel byte (the fake sources fill frame n with n % 256).
class RecordingRenderer : public FrameRenderer {
public:
    struct Draw {
        int slot;
        int firstByte;
        int width;
        int height;
        bool again = false; // drawn again with the frame drawn before
    };

    bool InitDisplay() override { return true; }
    void makeCurrent() override { }
    void releaseContext() override { }
    void setTickTime(std::uint32_t) override { }
    void DeleteSlotTextures(int slot) override { deleted.push_back(slot); }
    void CreateSlotTextures(int slot, int width, int height) override
    {
        created.push_back({ slot, 0, width, height });
    }
    void DrawSlotFrame(int slot, const TPlayAvistruct&, const std::uint8_t* pixels,
        const TBitmapInfoHeader& header) override
    {
        {
            std::lock_guard guard(lock);
            draws.push_back({ slot, pixels[0], header.width, header.height });
            last[static_cast<std::size_t>(slot)] = draws.back();
        }
        if (onDraw) {
            onDraw(slot);
        }
    }
    void DrawSlotAgain(int slot, const TPlayAvistruct&) override
    {
        std::lock_guard guard(lock);
        Draw draw = last.at(static_cast<std::size_t>(slot));
        if (draw.slot == slot) {
            draw.again = true;
            draws.push_back(draw);
        }
    }
    void Present() override
    {
        std::lock_guard guard(lock);
        ++presents;
    }
    void ClearOutput() override { ++clears; }
    void ShowPicture(const std::filesystem::path&) override { picture = true; }
    void DropPicture() override { picture = false; }
    bool showingPicture() const override { return picture; }

    std::vector<Draw> takeDraws()
    {
        std::lock_guard guard(lock);
        return std::exchange(draws, {});
    }

    std::mutex lock;
    std::vector<Draw> draws;
    std::array<Draw, kSlotCount + 1> last {}; // each slot's last frame drawn
    std::vector<Draw> created;
    std::vector<int> deleted;
    int presents = 0;
    int clears = 0;
    bool picture = false;
    std::function<void(int slot)> onDraw;
};

} // namespace oskel::test
