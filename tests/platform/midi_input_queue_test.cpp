#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <semaphore>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "midi_test_text.h"
#include "platform/midi_input_queue.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;
using test::describe;

MidiMessage note(std::uint8_t key)
{
    return MidiMessage { 0x90, key, 0x40, key, {}, false };
}

MidiMessage sysex(std::span<const std::uint8_t> bytes)
{
    return MidiMessage { midi::kSysexStart, 0, 0, 0, bytes, false };
}

TEST(MidiInputQueue, KeepsTheOrderAcrossManyWrapArounds)
{
    MidiInputQueue queue(5, 2);
    std::uint8_t next = 0;
    std::uint8_t expected = 0;
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const int puts = std::uniform_int_distribution<int>(0, 5)(random);
        for (int put = 0; put < puts && queue.size() < queue.capacity(); ++put) {
            ASSERT_TRUE(queue.put(note(next)));
            next = static_cast<std::uint8_t>((next + 1) % 0x80);
        }
        const int takes = std::uniform_int_distribution<int>(0, 5)(random);
        for (int take = 0; take < takes; ++take) {
            const auto message = queue.take();
            if (!message) {
                break;
            }
            ASSERT_EQ(message->data1, expected);
            EXPECT_EQ(message->timeStamp, expected);
            expected = static_cast<std::uint8_t>((expected + 1) % 0x80);
        }
    }
    EXPECT_EQ(queue.takeLost(), 0u);
}

// A full queue refuses and counts what it loses, never holds more than its capacity, and
// takes messages again once the main thread has made room.
TEST(MidiInputQueue, OverflowIsCountedAndTheQueueNeverGrows)
{
    MidiInputQueue queue(3, 1);
    for (std::uint8_t key = 0; key < 5; ++key) {
        EXPECT_EQ(queue.put(note(key)), key < 3) << int(key);
        EXPECT_LE(queue.size(), 3u);
    }
    EXPECT_EQ(queue.takeLost(), 2u);
    EXPECT_EQ(queue.takeLost(), 0u) << "each loss is reported once";
    EXPECT_EQ(queue.take()->data1, 0);
    EXPECT_TRUE(queue.put(note(9)));
    std::vector<int> order;
    while (const auto message = queue.take()) {
        order.push_back(message->data1);
    }
    EXPECT_EQ(order, (std::vector<int> { 1, 2, 9 }));
}

// The system-exclusive blocks go round between the threads: a taken block stays readable
// until the next take, and a put finding none free loses the message.
TEST(MidiInputQueue, SystemExclusiveBlocksCirculate)
{
    MidiInputQueue queue(8, 2);
    const std::array<std::uint8_t, 3> a { 0xF0, 0x01, 0xF7 };
    const std::array<std::uint8_t, 4> b { 0xF0, 0x02, 0x03, 0xF7 };
    const std::array<std::uint8_t, 3> c { 0xF0, 0x04, 0xF7 };
    EXPECT_TRUE(queue.put(sysex(a)));
    EXPECT_TRUE(queue.put(sysex(b)));
    EXPECT_FALSE(queue.put(sysex(c))) << "no free block";
    EXPECT_TRUE(queue.put(note(1))) << "short messages need no block";
    EXPECT_EQ(queue.takeLost(), 1u);

    const auto first = queue.take();
    ASSERT_TRUE(first);
    EXPECT_FALSE(queue.put(sysex(c))) << "the first block is still being read";
    EXPECT_EQ(describe(*first), "sysex F0 01 F7");
    EXPECT_EQ(describe(*queue.take()), "sysex F0 02 03 F7");
    EXPECT_TRUE(queue.put(sysex(c))) << "the first block came back";
    EXPECT_EQ(describe(*queue.take()), "90 01 40");
    EXPECT_EQ(describe(*queue.take()), "sysex F0 04 F7");
    EXPECT_FALSE(queue.take());
}

TEST(MidiInputQueue, OneWakeUpPerRoundOfTakingEverything)
{
    MidiInputQueue queue(2, 0);
    int wakes = 0;
    queue.setWake([&] { ++wakes; });
    queue.put(note(1));
    queue.put(note(2));
    queue.put(note(3)); // refused, still no second wake-up
    EXPECT_EQ(wakes, 1);
    ASSERT_TRUE(queue.take());
    queue.put(note(4));
    EXPECT_EQ(wakes, 1) << "the main thread has not emptied the queue yet";
    while (queue.take()) { }
    queue.put(note(5));
    EXPECT_EQ(wakes, 2);
    while (queue.take()) { }
    queue.put(sysex(std::array<std::uint8_t, 2> { 0xF0, 0xF7 })); // lost: no blocks
    EXPECT_EQ(wakes, 3) << "a loss wakes the main thread to report it";
    EXPECT_EQ(queue.takeLost(), 2u);
}

TEST(MidiInputQueue, PuttingAndTakingAllocateNothing)
{
    if (!test::ThreadAllocationCounter::kAvailable) {
        GTEST_SKIP() << "allocations are counted only in sanitizer builds";
    }
    MidiInputQueue queue(4, 2);
    const std::array<std::uint8_t, 3> bytes { 0xF0, 0x05, 0xF7 };
    test::ThreadAllocationCounter allocations;
    for (int round = 0; round < 100; ++round) {
        for (int put = 0; put < 6; ++put) {
            queue.put(put % 2 ? note(1) : sysex(bytes));
        }
        while (queue.take()) { }
        queue.takeLost();
    }
    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_TRUE(allocations.works()) << "the count can be trusted";
}

// A driver thread puts numbered messages, some of them system exclusive, with random pauses,
// while the main thread takes them only when woken. Every message arrives once, in order, with
// its bytes, or is counted lost; a lost wake-up shows as a main thread left waiting with
// messages in the queue.
TEST(MidiInputQueue, DriverAndMainThreadUnderStress)
{
    constexpr int kMessages = 200000;
    MidiInputQueue queue(64, 4);
    std::counting_semaphore<> woken(0);
    queue.setWake([&] { woken.release(); });

    std::atomic<bool> producing = true;
    std::thread driver([&] {
        std::mt19937 random(11);
        std::array<std::uint8_t, 6> bytes { 0xF0, 0, 0, 0, 0x55, 0xF7 };
        for (int number = 0; number < kMessages; ++number) {
            const auto low = static_cast<std::uint8_t>(number & 0x7F);
            const auto high = static_cast<std::uint8_t>((number >> 7) & 0x7F);
            MidiMessage message { 0xB0, low, high, static_cast<std::uint32_t>(number), {}, false };
            if (number % 7 == 0) {
                bytes[1] = low;
                bytes[2] = high;
                bytes[3] = static_cast<std::uint8_t>(number >> 14);
                message
                    = MidiMessage { 0xF0, 0, 0, static_cast<std::uint32_t>(number), bytes, false };
            }
            queue.put(message);
            if (random() % 64 == 0) {
                std::this_thread::yield();
            }
        }
        producing = false;
        woken.release();
    });

    int received = 0;
    int lost = 0;
    std::int64_t last = -1;
    bool inOrder = true;
    bool bytesRight = true;
    for (;;) {
        if (!woken.try_acquire_for(10s)) {
            ADD_FAILURE() << "not woken although " << queue.size() << " messages wait";
            break;
        }
        while (const auto message = queue.take()) {
            ++received;
            inOrder = inOrder && message->timeStamp > last;
            last = message->timeStamp;
            if (message->isSysex()) {
                const auto number = message->timeStamp;
                bytesRight = bytesRight && message->sysex.size() == 6
                    && message->sysex[1] == (number & 0x7F)
                    && message->sysex[2] == ((number >> 7) & 0x7F)
                    && message->sysex[3] == (number >> 14) && message->sysex[5] == 0xF7;
            } else {
                bytesRight = bytesRight
                    && (message->timeStamp & 0x3FFF) == message->data1 + 128u * message->data2;
            }
        }
        lost += static_cast<int>(queue.takeLost());
        if (!producing && queue.size() == 0) {
            break;
        }
    }
    driver.join();
    lost += static_cast<int>(queue.takeLost());
    EXPECT_TRUE(inOrder);
    EXPECT_TRUE(bytesRight);
    EXPECT_EQ(received + lost, kMessages);
    EXPECT_GT(received, 0);
}

} // namespace
} // namespace oskel
