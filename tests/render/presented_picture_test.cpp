// The presented picture handed from the frame thread to the TV-out preview.
#include <algorithm>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "render/presented_picture.h"

namespace oskel {
namespace {

// Each offered picture is filled with one byte value throughout.
bool fillWith(std::uint8_t value, std::uint8_t* bgr, std::size_t size)
{
    std::fill(bgr, bgr + size, value);
    return true;
}

TEST(PresentedPictureTest, TheLatestPictureIsTakenOnceAndAFailedReadKeepsNothing)
{
    PresentedPicture picture(4, 2);
    std::vector<std::uint8_t> taken;
    EXPECT_FALSE(picture.takeNew(taken)) << "nothing presented yet";

    picture.offer([](std::uint8_t* bgr, std::size_t size) { return fillWith(1, bgr, size); });
    picture.offer([](std::uint8_t* bgr, std::size_t size) { return fillWith(2, bgr, size); });
    ASSERT_TRUE(picture.takeNew(taken));
    EXPECT_EQ(taken, std::vector<std::uint8_t>(4 * 2 * 3, 2));
    EXPECT_FALSE(picture.takeNew(taken));

    picture.offer([](std::uint8_t*, std::size_t) { return false; });
    EXPECT_FALSE(picture.takeNew(taken)) << "a read that failed is not shown";
}

// The frame thread offers while the window takes: every picture taken is whole, one value
// throughout, never a mix of two.
TEST(PresentedPictureTest, PicturesTakenWhileOfferedAreNeverTorn)
{
    PresentedPicture picture(64, 48);
    std::atomic<bool> done = false;
    std::thread frameThread([&] {
        for (int tick = 0; tick < 2000; ++tick) {
            const auto value = static_cast<std::uint8_t>(tick);
            picture.offer([value](std::uint8_t* bgr, std::size_t size) {
                return fillWith(value, bgr, size);
            });
        }
        done = true;
    });
    std::vector<std::uint8_t> taken;
    int last = -1;
    const auto take = [&] {
        if (picture.takeNew(taken)) {
            EXPECT_EQ(std::count(taken.begin(), taken.end(), taken.front()),
                std::ptrdiff_t(taken.size()));
            last = taken.front();
        }
    };
    while (!done) {
        take();
    }
    frameThread.join();
    // With no one taking, an offer is always kept.
    picture.offer([](std::uint8_t* bgr, std::size_t size) { return fillWith(7, bgr, size); });
    take();
    EXPECT_EQ(last, 7);
}

} // namespace
} // namespace oskel
