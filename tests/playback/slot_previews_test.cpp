// The live pictures handed from the slot workers to the windows.
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "playback/slot_previews.h"

namespace oskel {
namespace {

// A frame of one colour: 24-bit BGR, packed rows.
std::vector<std::uint8_t> plainFrame(int width, int height, std::uint8_t blue, std::uint8_t red)
{
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width * height * 3));
    for (std::size_t i = 0; i < frame.size(); i += 3) {
        frame[i] = blue;
        frame[i + 2] = red;
    }
    return frame;
}

bool isPlain(const ThumbnailPicture& picture, std::uint8_t blue, std::uint8_t red)
{
    for (std::size_t i = 0; i < picture.pixels.size(); i += 3) {
        if (picture.pixels[i] != blue || picture.pixels[i + 2] != red) {
            return false;
        }
    }
    return true;
}

TEST(SlotPreviewsTest, TheLatestFrameIsTakenOnceAtThumbnailSize)
{
    SlotPreviews previews;
    EXPECT_FALSE(previews.takeNew(3)) << "nothing before the first frame";

    const auto first = plainFrame(320, 240, 10, 0);
    const auto second = plainFrame(320, 240, 20, 0);
    previews.post(3, first.data(), 320, 240);
    previews.post(3, second.data(), 320, 240);

    const auto taken = previews.takeNew(3);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->width, ThumbnailPicture::kWidth);
    EXPECT_EQ(taken->height, ThumbnailPicture::kHeight);
    EXPECT_EQ(taken->pixels.size(), std::size_t { 96 * 72 * 3 });
    EXPECT_TRUE(isPlain(*taken, 20, 0)) << "the older frame is replaced";
    EXPECT_FALSE(previews.takeNew(3)) << "a picture is taken once";
    EXPECT_FALSE(previews.takeNew(4)) << "slots are apart";
}

TEST(SlotPreviewsTest, NothingIsKeptWhenOffClearedOrMalformed)
{
    SlotPreviews previews;
    const auto frame = plainFrame(8, 6, 1, 2);

    previews.setEnabled(false);
    previews.post(1, frame.data(), 8, 6);
    EXPECT_FALSE(previews.takeNew(1));

    previews.setEnabled(true);
    previews.post(1, frame.data(), 8, 6);
    previews.clear(1);
    EXPECT_FALSE(previews.takeNew(1));

    for (const int slot : { 0, -1, 17 }) {
        previews.post(slot, frame.data(), 8, 6);
        EXPECT_FALSE(previews.takeNew(slot));
    }
    previews.post(2, nullptr, 8, 6);
    previews.post(2, frame.data(), 0, 6);
    previews.post(2, frame.data(), 8, -6);
    EXPECT_FALSE(previews.takeNew(2));
}

// A worker posts as fast as it can while the windows take: every picture taken is one whole
// frame, never parts of two.
TEST(SlotPreviewsTest, PicturesTakenWhileAWorkerPostsAreWhole)
{
    SlotPreviews previews;
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::uint8_t k = 0; k < 4; ++k) {
        frames.push_back(plainFrame(64, 48, k, static_cast<std::uint8_t>(100 + k)));
    }
    std::atomic<bool> stop = false;
    std::thread worker([&] {
        for (std::size_t n = 0; !stop; ++n) {
            previews.post(5, frames[n % frames.size()].data(), 64, 48);
        }
    });
    int taken = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < until) {
        if (const auto picture = previews.takeNew(5)) {
            ++taken;
            const std::uint8_t k = picture->pixels[0];
            ASSERT_LT(k, 4);
            ASSERT_TRUE(isPlain(*picture, k, static_cast<std::uint8_t>(100 + k)));
        }
    }
    stop = true;
    worker.join();
    EXPECT_GT(taken, 0);
}

} // namespace
} // namespace oskel
