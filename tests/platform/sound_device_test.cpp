#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/manual_clock_sound_device.h"
#include "platform/null_sound_device.h"
#include "platform/sound_output_choice.h"
#include "platform/system_sound_device.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

struct Delivery {
    std::int64_t frames = 0;
    std::size_t largestBlock = 0;
};

TEST(ManualClockSoundDevice, MixesExactlyTheFramesOfTheElapsedTimeCarryingTheRemainder)
{
    struct Case {
        int rate;
        std::vector<std::int64_t> advancesMs;
        std::int64_t frames;
    };
    const std::vector<Case> cases {
        { 44100, { 10, 10, 10 }, 1323 },
        { 22050, std::vector<std::int64_t>(100, 1), 2205 },
        { 11025, { 3, 3, 3, 1 }, 110 },
        { 48000, { 2000 }, 96000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        Delivery delivery;
        ManualClockSoundDevice device(c.rate, [&](std::span<const float> block) {
            delivery.frames += std::int64_t(block.size() / 2);
            delivery.largestBlock = std::max(delivery.largestBlock, block.size() / 2);
        });
        device.start();
        for (const std::int64_t ms : c.advancesMs) {
            device.advance(ms);
        }
        EXPECT_EQ(device.framesMixed(), c.frames);
        EXPECT_EQ(delivery.frames, c.frames);
        EXPECT_LE(delivery.largestBlock, std::size_t(ManualClockSoundDevice::kChunkFrames));
    }
}

TEST(NullSoundDevice, MovesPlayCursorsInRealTimeWithoutACard)
{
    NullSoundDevice device(48000, 5ms);
    EXPECT_NE(device.description().find("silent output"), std::string::npos);
    auto buffer = device.createBuffer({ 1, 48000, 16 }, 2 * 48000 * 5);
    buffer->play(false);

    const auto beforeStart = std::chrono::steady_clock::now();
    device.start();
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(300ms);
    const auto stopping = std::chrono::steady_clock::now();
    device.stop();
    const auto stopped = std::chrono::steady_clock::now();

    const auto frames = buffer->playCursor() / 2;
    const auto seconds
        = [](auto duration) { return std::chrono::duration<double>(duration).count(); };
    EXPECT_LE(frames, 48000 * seconds(stopped - beforeStart)) << "never ahead of the clock";
    // A loaded machine may hold the thread up for a while; it catches up at the next deadline.
    EXPECT_GE(frames, 48000 * (seconds(stopping - started) - 0.1)) << "not behind the clock";
    const auto held = buffer->playCursor();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(buffer->playCursor(), held) << "nothing moves after stop";
}

TEST(SystemSoundDevice, OpensOrSaysWhyWithoutPrintingAnything)
{
    testing::internal::CaptureStderr();
    std::string whyNot;
    std::unique_ptr<SoundDevice> device = openSystemSoundDevice(whyNot);
    if (device) {
        EXPECT_TRUE(whyNot.empty());
        EXPECT_FALSE(device->description().empty());
        EXPECT_GE(device->outputRate(), 8000);
        auto buffer = device->createBuffer({ 2, 44100, 16 }, 4 * 4410);
        buffer->play(false);
        device->start();
        std::this_thread::sleep_for(50ms);
        device->stop();
    } else {
        EXPECT_FALSE(whyNot.empty());
    }
    device.reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(SoundOutputChoice, FallsBackToTheSilentDeviceAndSaysWhy)
{
    const SoundOutput output = chooseSoundOutput([](std::string& whyNot) {
        whyNot = "no card here";
        return std::unique_ptr<SoundDevice>();
    });
    ASSERT_NE(output.device, nullptr);
    EXPECT_NE(dynamic_cast<NullSoundDevice*>(output.device.get()), nullptr);
    EXPECT_EQ(output.status, "No sound card could be opened (no card here): playing silently");
}

TEST(SoundOutputChoice, AlwaysGivesAWorkingDeviceOnThisMachine)
{
    const SoundOutput output = chooseSoundOutput();
    ASSERT_NE(output.device, nullptr);
    if (!output.status.empty()) {
        EXPECT_EQ(output.status.rfind("No sound card could be opened (", 0), 0u) << output.status;
        EXPECT_NE(dynamic_cast<NullSoundDevice*>(output.device.get()), nullptr);
    }
    auto buffer = output.device->createBuffer({ 1, 44100, 16 }, 2 * 44100);
    buffer->play(false);
    output.device->start();
    // However long a loaded machine holds the sound thread up.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (buffer->playCursor() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    output.device->stop();
    EXPECT_GT(buffer->playCursor(), 0);
}

} // namespace
} // namespace oskel
