#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/null_sound_device.h"
#include "platform/sound_mixer.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

WaveFormat randomFormat(std::mt19937& random)
{
    std::uniform_int_distribution<int> coin(0, 1);
    std::uniform_int_distribution<int> rate(100, 200000);
    return { std::uint16_t(1 + coin(random)), std::uint32_t(rate(random)),
        std::uint16_t(coin(random) ? 16 : 8) };
}

// A cursor is always a whole frame inside the buffer, the end included.
void expectCursorInside(const SoundBuffer& buffer)
{
    const std::int64_t cursor = buffer.playCursor();
    ASSERT_GE(cursor, 0);
    ASSERT_LE(cursor, buffer.length());
    ASSERT_EQ(cursor % buffer.format().blockAlign(), 0);
}

// One thread makes, drops, plays, stops, moves and retunes buffers at random while the null
// device's thread mixes 384 frames every millisecond (busy most of the time, so drops and
// locks meet mixes in progress) and a third thread reads status and cursors as the frame
// clock does.
TEST(SoundLayerStress, BuffersChangeAndComeAndGoWhileTheOutputMixes)
{
    NullSoundDevice device(384000, 1ms);
    device.start();

    constexpr int kSlots = 40;
    std::vector<std::shared_ptr<SoundBuffer>> owned(kSlots);
    std::vector<std::shared_ptr<SoundBuffer>> watched(8);
    for (auto& buffer : watched) {
        buffer = device.createBuffer({ 2, 44100, 16 }, 4 * 2000);
        buffer->play(true);
    }

    std::atomic<bool> done { false };
    std::thread frameClock([&] {
        while (!done.load()) {
            for (const auto& buffer : watched) {
                expectCursorInside(*buffer);
                (void)buffer->isPlaying();
            }
            std::this_thread::yield();
        }
    });

    std::mt19937 random(1234);
    std::uniform_int_distribution<int> pick(0, kSlots - 1);
    std::uniform_int_distribution<int> action(0, 9);
    const auto until = std::chrono::steady_clock::now() + 1s;
    int operations = 0;
    while (std::chrono::steady_clock::now() < until) {
        auto& buffer = owned[pick(random)];
        auto& shared = watched[std::size_t(pick(random)) % watched.size()];
        try {
            switch (action(random)) {
            case 0:
            case 1: {
                const WaveFormat format = randomFormat(random);
                buffer = device.createBuffer(format, format.blockAlign() * (1 + pick(random) * 50));
                const auto bytes = buffer->lock();
                std::generate(bytes.begin(), bytes.end(), [&] { return std::uint8_t(random()); });
                buffer->unlock();
                buffer->play(action(random) < 5);
                break;
            }
            case 2:
                buffer.reset();
                break;
            case 3:
                shared->setFrequency(std::uniform_int_distribution<int>(100, 200000)(random));
                break;
            case 4:
                shared->setPosition(std::int64_t(pick(random)) * 200);
                break;
            case 5:
                shared->stop();
                shared->play(action(random) < 8);
                break;
            case 6:
                shared->setVolume(-std::uniform_int_distribution<int>(0, 10000)(random));
                shared->setPan(std::uniform_int_distribution<int>(-10000, 10000)(random));
                break;
            case 7: {
                SoundBuffer& refilled = buffer && action(random) < 5 ? *buffer : *shared;
                refilled.stop();
                const auto bytes = refilled.lock();
                std::fill(bytes.begin(), bytes.end(), std::uint8_t(action(random) * 20));
                refilled.unlock();
                refilled.play(true);
                break;
            }
            default:
                device.setMasterVolume(pick(random) * 6);
                break;
            }
        } catch (const SoundError&) {
            // A full voice table refuses a buffer; the stress goes on.
        }
        ++operations;
        if (buffer) {
            expectCursorInside(*buffer);
        }
    }
    done.store(true);
    frameClock.join();
    device.stop();

    EXPECT_GT(operations, 100) << "the stress ran";
    for (const auto& buffer : watched) {
        expectCursorInside(*buffer);
    }
}

} // namespace
} // namespace oskel
