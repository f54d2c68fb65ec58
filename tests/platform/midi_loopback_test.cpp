#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "midi_test_text.h"
#include "platform/loopback_midi.h"
#include "platform/midi_in_port.h"
#include "platform/midi_out_port.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;
using test::describe;
using Texts = std::vector<std::string>;

class ThreadNotingHandler final : public MidiInputHandler {
public:
    Action onMidiInput(const MidiMessage&) override
    {
        thread = std::this_thread::get_id();
        return Action::Queue;
    }
    std::atomic<std::thread::id> thread;
};

// Loopback cables with an input port whose wake-up releases a semaphore, as the main thread's
// dispatcher would be woken.
class LoopbackTest : public ::testing::Test {
protected:
    explicit LoopbackTest(
        std::vector<std::string> cables = { std::string(LoopbackMidi::kDefaultCable) })
    {
        auto owned = std::make_unique<LoopbackMidi>(std::move(cables));
        loopback = owned.get();
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(std::move(owned));
        devices = std::make_unique<MidiDevices>(std::move(backends));
        in = std::make_unique<MidiInPort>(*devices);
        in->setWake([this] { woken.release(); });
    }

    // Takes messages as the main thread does when woken, until count have come.
    Texts receive(std::size_t count)
    {
        Texts messages;
        while (messages.size() < count && woken.try_acquire_for(5s)) {
            while (const auto message = in->read()) {
                messages.push_back(describe(*message));
            }
        }
        return messages;
    }

    LoopbackMidi* loopback = nullptr;
    std::unique_ptr<MidiDevices> devices;
    std::counting_semaphore<> woken { 0 }; // outlives the port that releases it
    std::unique_ptr<MidiInPort> in;
};

TEST_F(LoopbackTest, WhatIsSentOrInjectedArrivesAtTheInputOnTheCablesThread)
{
    ThreadNotingHandler handler;
    in->setHandler(&handler);
    ASSERT_EQ(in->deviceNames(), Texts { "Oskel Loopback" });
    ASSERT_TRUE(in->open(std::size_t { 0 }).ok());
    in->start();
    MidiOutPort out(*devices);
    ASSERT_TRUE(out.open("Oskel Loopback").ok());

    EXPECT_TRUE(out.sendShort(0x90, 0x3C, 0x64).ok());
    EXPECT_TRUE(out.sendSysex(std::array<std::uint8_t, 4> { 0xF0, 0x7E, 0x01, 0xF7 }).ok());
    EXPECT_TRUE(out.sendShort(0xC3, 0x05, 0x7F).ok());
    // A device's bytes in pieces, with running status and a clock byte inside a message.
    const std::array<std::uint8_t, 3> first { 0xB0, 0x07, 0xF8 };
    const std::array<std::uint8_t, 3> second { 0x10, 0x07, 0x11 };
    EXPECT_TRUE(loopback->inject("Oskel Loopback", first));
    EXPECT_TRUE(loopback->inject("Oskel Loopback", second));

    EXPECT_EQ(receive(5),
        (Texts { "90 3C 64", "sysex F0 7E 01 F7", "C3 05 00", "B0 07 10", "B0 07 11" }));
    EXPECT_NE(handler.thread.load(), std::this_thread::get_id());
    EXPECT_NE(handler.thread.load(), std::thread::id());
    EXPECT_EQ(in->takeLost(), 0u);

    in->close();
    EXPECT_TRUE(out.sendShort(0x90, 0x3C, 0x64).ok()) << "nothing listens: the bytes are dropped";
    EXPECT_TRUE(out.close());
    EXPECT_FALSE(out.close());
}

TEST_F(LoopbackTest, ManySendersKeepTheirOwnOrder)
{
    ASSERT_TRUE(in->open("Oskel Loopback").ok());
    in->start();
    constexpr int kEach = 500;
    MidiOutPort first(*devices);
    MidiOutPort second(*devices);
    ASSERT_TRUE(first.open("Oskel Loopback").ok());
    ASSERT_TRUE(second.open("Oskel Loopback").ok());
    auto sender = [](MidiOutPort& out, std::uint8_t status) {
        for (int number = 0; number < kEach; ++number) {
            EXPECT_TRUE(out.sendShort(status, static_cast<std::uint8_t>(number / 128),
                               static_cast<std::uint8_t>(number % 128))
                            .ok());
        }
    };
    std::thread one(sender, std::ref(first), std::uint8_t { 0xB1 });
    std::thread two(sender, std::ref(second), std::uint8_t { 0xB2 });
    one.join();
    two.join();

    std::array<int, 3> next {};
    int received = 0;
    bool inOrder = true;
    while (received < 2 * kEach && woken.try_acquire_for(5s)) {
        while (const auto message = in->read()) {
            const int channel = message->channel();
            inOrder = inOrder && message->data1 * 128 + message->data2 == next[channel];
            ++next[channel];
            ++received;
        }
    }
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(received, 2 * kEach) << "lost " << in->takeLost();
}

class RenamedDevicesTest : public LoopbackTest {
protected:
    RenamedDevicesTest()
        : LoopbackTest({ "Keys", "Pads" })
    {
    }
};

// The settings keep "Pads" at index 1; after Keys is unplugged and plugged in again the list
// reads Pads, Keys and the name still finds Pads.
TEST_F(RenamedDevicesTest, ADeviceIsFoundByNameAfterTheListChangedOrder)
{
    loopback->unplug("Keys");
    loopback->plug("Keys");
    const Texts names = in->deviceNames();
    ASSERT_EQ(names, (Texts { "Pads", "Keys" }));

    const auto index = findMidiDevice(names, "Pads", 1);
    ASSERT_EQ(index, 0u);
    ASSERT_TRUE(in->open(*index).ok());
    EXPECT_EQ(in->productName(), "Pads");
    in->start();
    EXPECT_TRUE(loopback->inject("Keys", std::array<std::uint8_t, 3> { 0x90, 0x01, 0x01 }));
    EXPECT_TRUE(loopback->inject("Pads", std::array<std::uint8_t, 3> { 0x90, 0x02, 0x02 }));
    EXPECT_EQ(receive(1), Texts { "90 02 02" });
    EXPECT_FALSE(loopback->inject("Drums", std::array<std::uint8_t, 1> { 0xF8 }));
}

TEST(MidiDeviceChoice, TheNameWinsWhenItIsInTheList)
{
    const std::vector<std::string> names { "A", "B", "C" };
    struct Case {
        std::string name;
        std::int64_t index;
        std::optional<std::size_t> found;
    };
    for (const Case& each : { Case { "C", 0, 2 }, Case { "", 1, 1 }, Case { "gone", 1, 1 },
             Case { "gone", 3, std::nullopt }, Case { "", -1, std::nullopt },
             Case { "B", 99, 1 } }) {
        EXPECT_EQ(findMidiDevice(names, each.name, each.index), each.found)
            << each.name << " " << each.index;
    }
    EXPECT_EQ(findMidiDevice({}, "A", 0), std::nullopt);
}

TEST_F(LoopbackTest, FailuresAreReportedInThePerformersWords)
{
    MidiOutPort out(*devices);
    EXPECT_EQ(in->open("Nope").error, "MIDI Input Device Nope not installed ");
    EXPECT_EQ(out.open("Nope").error, "MIDI output Device Nope not installed");
    EXPECT_EQ(in->open(std::size_t { 1 }).error, "Invalid device ID");
    EXPECT_EQ(out.open(std::size_t { 1 }).error, "Invalid device ID");
    EXPECT_EQ(out.sendShort(0x90, 1, 1).error, "MIDI Output device not open");

    // An input that did not open stays closed: starting it does nothing.
    in->start();
    EXPECT_FALSE(in->isOpen());
    EXPECT_FALSE(in->isRunning());
    EXPECT_FALSE(in->read());

    ASSERT_TRUE(in->open("Oskel Loopback").ok());
    ASSERT_TRUE(out.open("Oskel Loopback").ok());
    EXPECT_EQ(in->open("Oskel Loopback").error, "Change to ProductName while device was open");
    EXPECT_EQ(in->open(std::size_t { 0 }).error, "Change to DeviceID while device was open");
    EXPECT_EQ(out.open("Oskel Loopback").error, "Change to ProductName while device was open");
    EXPECT_EQ(out.open(std::size_t { 0 }).error, "Change to DeviceID while device was open");
    EXPECT_EQ(in->productName(), "Oskel Loopback") << "the open device is kept";

    MidiInPort second(*devices);
    EXPECT_EQ(
        second.open("Oskel Loopback").error, "MIDI Input Device Oskel Loopback is already in use");
}

} // namespace
} // namespace oskel
